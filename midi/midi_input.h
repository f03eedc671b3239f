// Playing from MIDI inputs: which inputs are open, chosen in the MIDI Input
// menu and remembered under HKEY_CURRENT_USER\Software\Quillpad ("MidiInput":
// "all", "none" or a device's name; every device at first), whether notes
// play at their velocity ("MidiVelocity"), and what their messages do.
#pragma once
#include <cstdint>

// Start-up: the note map and the settings are read and the chosen inputs opened.
void startMidiInput();
// Every input closes, releasing what it held; the program is ending.
void stopMidiInput();

// A message of the input opened with that tag, as the system packed it, and
// its number in the order handed over (app/midi_ports.h). Notes play keys (or
// are learnt), All Notes Off and All Sound Off release the input's keys; an
// input closed since is not heard any more.
void onMidiMessage(uint32_t tag, uint32_t packed, uint32_t number);

// The input opened with that tag closed (the message numbered `number`): its
// device went, or the program closed it. Its keys are released at once.
void onMidiInputClosed(uint32_t tag, uint32_t number);
// The program's messages waiting have all been handled: messages lost with
// none handed over behind them leave no key held either.
void recoverLostMidiMessages();
// Devices came or went: the inputs are listed again, the chosen ones that
// came open ("All Devices" opens any) and inputs that went are closed.
void onMidiDevicesChanged();
// The MIDI Input menu as it opens: the inputs are listed again, as when
// devices come and go, and shown.
void refreshMidiInputMenu();
// Its item `index` chosen: 0 "All Devices", then the inputs as listed, then
// "None". Inputs that are no longer chosen are closed at once.
void chooseMidiInput(int index);
// The Velocity item: notes play at their velocity, or all at the key's own volume.
void switchMidiVelocity();
