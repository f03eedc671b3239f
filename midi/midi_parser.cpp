#include "midi/midi_parser.h"

namespace {

constexpr uint8_t StatusBit = 0x80;
constexpr uint8_t SysexStart = 0xF0;
constexpr uint8_t FirstRealtime = 0xF8;

// Data bytes that follow a status byte.
int dataLength(uint8_t status) {
    switch (status & 0xF0) {
    case 0xC0:  // program change
    case 0xD0:  // channel pressure
        return 1;
    case 0xF0:
        return status == 0xF1 || status == 0xF3 ? 1 : status == 0xF2 ? 2 : 0;
    default:
        return 2;
    }
}

void takeStatus(MidiParser& parser, uint8_t status) {
    parser.inSysex = status == SysexStart;
    parser.status = parser.inSysex ? 0 : status;
    parser.awaited = parser.inSysex ? 0 : dataLength(status);
    // System common messages end the running status; without data they are complete at once.
    if (status >= SysexStart && parser.awaited == 0) parser.status = 0;
}

bool completeMessage(MidiParser& parser, MidiEvent& event) {
    uint8_t status = parser.status;
    // Running status: the next data bytes begin the same message again; a
    // system common message has none.
    if (status >= SysexStart) parser.status = 0;
    event.channel = status & 0x0F;
    event.data1 = parser.data[0];
    event.data2 = parser.data[1];
    switch (status & 0xF0) {
    case 0x80:
        event.type = MidiEventType::NoteOff;
        return true;
    case 0x90:
        event.type = event.data2 == 0 ? MidiEventType::NoteOff : MidiEventType::NoteOn;
        return true;
    case 0xB0:
        event.type = MidiEventType::ControlChange;
        return true;
    case 0xC0:
        event.type = MidiEventType::ProgramChange;
        event.data2 = 0;
        return true;
    default:
        return false;
    }
}

}  // namespace

bool feedMidiByte(MidiParser& parser, uint8_t byte, MidiEvent& event) {
    if (byte >= FirstRealtime) return false;
    if (byte & StatusBit) {
        takeStatus(parser, byte);
        return false;
    }
    if (parser.inSysex || parser.status == 0) return false;
    int length = dataLength(parser.status);
    if (parser.awaited == 0) parser.awaited = length;  // running status
    int index = length - parser.awaited;
    if (index < 0 || index > 1) return false;
    parser.data[index] = byte;
    if (--parser.awaited > 0) return false;
    return completeMessage(parser, event);
}

bool feedShortMessage(MidiParser& parser, uint32_t packed, MidiEvent& event) {
    uint8_t first = static_cast<uint8_t>(packed);
    if (first >= FirstRealtime) return false;  // a message of one byte: the rest is no data
    if (feedMidiByte(parser, first, event)) return true;
    for (int shift = 8; shift <= 16 && parser.awaited > 0; shift += 8)
        if (feedMidiByte(parser, static_cast<uint8_t>(packed >> shift), event)) return true;
    return false;
}
