#include "fakes/fake_midi_ports.h"

#include <string>

#include "base/midi_ports.h"
#include "fakes/call_log.h"

FakeMidiPorts fakeMidiPorts;

std::vector<MidiPort> listMidiPorts() { return fakeMidiPorts.ports; }

bool openMidiPort(unsigned id, uint32_t tag) {
    bool listed = false, open = false;
    for (const MidiPort& port : fakeMidiPorts.ports) listed = listed || port.id == id;
    for (auto [tag, openId] : fakeMidiPorts.openIds) open = open || openId == id;
    // An input opens once, as winmm's drivers allow.
    if (!listed || open || fakeMidiPorts.heldElsewhere.count(id)) {
        callLog.push_back("midi refused " + std::to_string(id));
        return false;
    }
    callLog.push_back("midi open " + std::to_string(id) + " " + std::to_string(tag));
    fakeMidiPorts.openIds[tag] = id;
    return true;
}

void closeMidiPort(uint32_t tag) {
    callLog.push_back("midi close " + std::to_string(tag));
    fakeMidiPorts.openIds.erase(tag);
}

bool isMidiPortPresent(uint32_t tag) { return fakeMidiPorts.openIds.count(tag) && !fakeMidiPorts.gone.count(tag); }

bool takeLostMidiMessages(uint32_t& lastNumberBeforeLoss) {
    bool lost = fakeMidiPorts.lost;
    fakeMidiPorts.lost = false;
    if (lost) lastNumberBeforeLoss = fakeMidiPorts.lastNumberBeforeLoss;
    return lost;
}
