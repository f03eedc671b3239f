// MIDI inputs a test lists, holds elsewhere and opens; opening and closing
// are logged as "midi open <id> <tag>", "midi refused <id>" and "midi close <tag>".
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "base/midi_ports.h"

struct FakeMidiPorts {
    std::vector<MidiPort> ports;           // what listMidiPorts gives
    std::set<unsigned> heldElsewhere;      // ids another program holds: they do not open
    std::map<uint32_t, unsigned> openIds;  // open now: tag -> id
    std::set<uint32_t> gone;               // tags of open ports whose device went: not present
    bool lost = false;                     // what takeLostMidiMessages answers next
    uint32_t lastNumberBeforeLoss = 0;     // and the number it gives with it
    void reset() { *this = FakeMidiPorts(); }
};

extern FakeMidiPorts fakeMidiPorts;
