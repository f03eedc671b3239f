// MIDI bytes as a controller sends them, turned into the few messages that
// play keys. Anything else (other channel messages, system common and
// exclusive messages, realtime bytes) passes through without harm.
#pragma once
#include <cstdint>

enum class MidiEventType { NoteOn, NoteOff, ControlChange, ProgramChange };

struct MidiEvent {
    MidiEventType type;
    int channel;  // 0..15
    int data1;    // the note, the controller or the program, 0..127
    int data2;    // the velocity (1..127 for a note-on) or the controller's value
};

// One input's place in its byte stream.
struct MidiParser {
    uint8_t status = 0;    // the running status; 0 while data bytes mean nothing
    int awaited = 0;       // data bytes still to come for the message begun
    uint8_t data[2] = {};  // those that came
    bool inSysex = false;  // skipping a system exclusive message
};

// One byte of the stream. True when it completes a message that plays keys,
// which is then in event. A note-on of velocity 0 is a note-off. Realtime
// bytes (clock, active sensing) may come anywhere, inside a message too, and
// change nothing; a system exclusive message is skipped up to its end or the
// next status byte; data bytes with no status before them are dropped.
bool feedMidiByte(MidiParser& parser, uint8_t byte, MidiEvent& event);

// One short message as Windows hands it over: the first byte in the low byte
// and up to two more above it, of which only as many are read as the message
// begun needs. A first byte below 0x80 continues the running status.
bool feedShortMessage(MidiParser& parser, uint32_t packed, MidiEvent& event);
