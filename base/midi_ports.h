// Platform seam: the system's MIDI inputs. Each open port's messages reach
// the main window, on the program's own thread, with the tag it was opened
// with (see onMidiMessage), and so does the word that it closed, its device
// gone or closed by the program (see onMidiInputClosed). Each is numbered,
// from 1, in the order it was handed over. Defined in
// app/midi_ports_win32.cpp for the program, faked in tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct MidiPort {
    unsigned id;       // what opens it, until the next listing
    std::string name;  // what the user knows it by
};

// The MIDI inputs present now, in the system's order.
std::vector<MidiPort> listMidiPorts();
// Opens that port and starts it. False when it cannot be had: another
// program holds it, or it has gone.
bool openMidiPort(unsigned id, uint32_t tag);
// Stops and closes the port opened with that tag; no message of it is handed
// over after this, though some may still wait in the queue.
void closeMidiPort(uint32_t tag);
// Whether the port opened with that tag still answers; false once its device
// has gone, even where the list still shows a port of its name.
bool isMidiPortPresent(uint32_t tag);
// Whether a message could not be handed over (the queue was full) since the
// last call: a note-off may be among them. If so, the number of the last
// message handed over before the loss, 0 when there was none.
bool takeLostMidiMessages(uint32_t& lastNumberBeforeLoss);
