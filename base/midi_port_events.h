// What the MIDI ports' callback hands over from winmm's thread. Declared
// here, defined by the program's shell, which posts each to the program's
// thread in order. Each is numbered, from 1, in the order it was handed over;
// false when the queue was full and it was lost.
#pragma once
#include <cstdint>

// A short message of the port opened with that tag, as winmm packs it.
bool tellMidiMessage(uint32_t tag, uint32_t packed, uint32_t number);
// The port opened with that tag closed: its device went, or the program closed it.
bool tellMidiInputClosed(uint32_t tag, uint32_t number);
