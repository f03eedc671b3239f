#include "midi/midi_input.h"

#include <string>
#include <vector>

#include "base/menu.h"
#include "base/midi_ports.h"
#include "base/registry.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/pitch_volume.h"
#include "midi/midi_learn.h"
#include "midi/midi_parser.h"
#include "midi/note_map.h"
#include "midi/note_playing.h"
#include "resources/command_ids.h"

namespace {

constexpr char InputSetting[] = "MidiInput";
constexpr char VelocitySetting[] = "MidiVelocity";
// Device names are at most 31 characters; a longer value is none of ours.
constexpr size_t SettingCapacity = 256;
constexpr char AllDevicesText[] = "All Devices";
constexpr char NoneText[] = "None";
constexpr char NoInputText[] = "No MIDI Input";
// Controllers whose message silences every note: All Sound Off and All Notes
// Off, and the mode changes that imply All Notes Off.
constexpr int AllSoundOff = 120;
constexpr int AllNotesOff = 123;
constexpr int LastModeChange = 127;

enum class Choice { AllDevices, None, OneDevice };

// An open input. Its place in the table is the device number its notes hold keys by.
struct OpenInput {
    bool open = false;
    uint32_t tag = 0;  // never reused: messages of an input closed since are told apart
    std::string name;
    MidiParser parser;
};

struct MidiInputState {
    Choice choice = Choice::AllDevices;
    std::string chosenName;
    bool velocity = true;
    uint32_t lastTag = 0;
    OpenInput inputs[MidiDeviceCapacity];
    std::vector<MidiPort> listed;  // as last listed
    uint32_t lastHandled = 0;      // the number of the last message handled
    bool lossPending = false;      // messages were lost and their keys not yet released
    uint32_t lastBeforeLoss = 0;   // the number of the last message handed over before the loss
};

MidiInputState state;

void readSettings() {
    char value[SettingCapacity];
    state.choice = Choice::AllDevices;
    state.chosenName.clear();
    if (readProgramSetting(InputSetting, value, sizeof value)) {
        std::string text = value;
        if (text == "none") state.choice = Choice::None;
        else if (text != "all") {
            state.choice = Choice::OneDevice;
            state.chosenName = text;
        }
    }
    state.velocity = !(readProgramSetting(VelocitySetting, value, sizeof value) && std::string(value) == "off");
    setMenuItemChecked(CMD_MIDI_VELOCITY, state.velocity);
}

void writeChoice() {
    const char* value = state.choice == Choice::AllDevices ? "all"
                        : state.choice == Choice::None     ? "none"
                                                           : state.chosenName.c_str();
    writeProgramSetting(InputSetting, value);
}

bool wanted(const std::string& name) {
    return state.choice == Choice::AllDevices || (state.choice == Choice::OneDevice && name == state.chosenName);
}

int openCount(const std::string& name) {
    int count = 0;
    for (const OpenInput& input : state.inputs)
        if (input.open && input.name == name) ++count;
    return count;
}

int listedCount(const std::string& name) {
    int count = 0;
    for (const MidiPort& port : state.listed)
        if (port.name == name) ++count;
    return count;
}

void closeInput(OpenInput& input, int device) {
    closeMidiPort(input.tag);
    input = OpenInput();
    releaseDeviceNotes(device);
}

void openPort(const MidiPort& port) {
    for (OpenInput& input : state.inputs) {
        if (input.open) continue;
        uint32_t tag = state.lastTag + 1;
        // Another program may hold the port: it stays closed, without a word.
        if (!openMidiPort(port.id, tag)) return;
        state.lastTag = tag;
        input.open = true;
        input.tag = tag;
        input.name = port.name;
        input.parser = MidiParser();
        return;
    }
}

// Whether the input's device went: no port of its name is listed, or the
// system says its handle no longer answers. Of two inputs of one name, only
// the handle tells which one went; the list cannot.
bool hasGone(const OpenInput& input) { return listedCount(input.name) == 0 || !isMidiPortPresent(input.tag); }

// Closes the inputs that are not wanted or have gone, and opens the wanted
// ones that are not open yet. The system names a port only by its name and
// its place in the list, which shifts as devices come and go: a listed port
// is taken to be open while as many inputs of its name are open as are listed.
void applyChoice() {
    for (int device = 0; device < MidiDeviceCapacity; ++device) {
        OpenInput& input = state.inputs[device];
        if (input.open && (!wanted(input.name) || hasGone(input))) closeInput(input, device);
    }
    for (const MidiPort& port : state.listed) {
        if (!wanted(port.name)) continue;
        int allowed = state.choice == Choice::OneDevice ? 1 : listedCount(port.name);
        if (openCount(port.name) < allowed) openPort(port);
    }
}

bool isPanicController(int controller) {
    return controller == AllSoundOff || (controller >= AllNotesOff && controller <= LastModeChange);
}

// Numbers wrap after 2^32 messages: the distance tells which came first.
bool isHandledYet(uint32_t number) { return state.lastHandled - number < 0x80000000u; }

// A message lost may be a note-off, leaving its key held for ever, so every
// key is let go of, once every message handed over before the loss has been
// handled (they may press keys whose note-offs were lost) and before any
// handed over after it, which play as usual.
void releaseAfterLoss() {
    uint32_t lastBeforeLoss = 0;
    if (takeLostMidiMessages(lastBeforeLoss)) {
        state.lossPending = true;
        state.lastBeforeLoss = lastBeforeLoss;
    }
    if (!state.lossPending || !isHandledYet(state.lastBeforeLoss)) return;
    state.lossPending = false;
    for (int device = 0; device < MidiDeviceCapacity; ++device) releaseDeviceNotes(device);
}

void playMidiEvent(int device, const MidiEvent& event) {
    switch (event.type) {
    case MidiEventType::NoteOn:
        learnMidiNote(event.data1);
        onNoteOn(device, event.data1, state.velocity ? event.data2 : MaxVelocity);
        break;
    case MidiEventType::NoteOff:
        onNoteOff(device, event.data1);
        break;
    case MidiEventType::ControlChange:
        if (isPanicController(event.data1)) releaseDeviceNotes(device);
        break;
    case MidiEventType::ProgramChange:
        // Programs 0 to 7 show banks 1 to 8, on any channel; others are a synthesizer's business.
        if (isBankIndex(event.data1)) showBank(event.data1);
        break;
    }
}

}  // namespace

void startMidiInput() {
    state = MidiInputState();
    loadNoteMap();
    readSettings();
    state.listed = listMidiPorts();
    applyChoice();
}

void stopMidiInput() {
    for (int device = 0; device < MidiDeviceCapacity; ++device)
        if (state.inputs[device].open) closeInput(state.inputs[device], device);
    state = MidiInputState();
}

void onMidiMessage(uint32_t tag, uint32_t packed, uint32_t number) {
    releaseAfterLoss();
    for (int device = 0; device < MidiDeviceCapacity; ++device) {
        OpenInput& input = state.inputs[device];
        if (!input.open || input.tag != tag) continue;
        MidiEvent event;
        if (feedShortMessage(input.parser, packed, event)) playMidiEvent(device, event);
        break;
    }
    state.lastHandled = number;
    releaseAfterLoss();
}

void onMidiInputClosed(uint32_t tag, uint32_t number) {
    releaseAfterLoss();
    for (int device = 0; device < MidiDeviceCapacity; ++device)
        if (state.inputs[device].open && state.inputs[device].tag == tag) closeInput(state.inputs[device], device);
    state.lastHandled = number;
    releaseAfterLoss();
}

void recoverLostMidiMessages() { releaseAfterLoss(); }

void onMidiDevicesChanged() {
    state.listed = listMidiPorts();
    applyChoice();
}

void refreshMidiInputMenu() {
    onMidiDevicesChanged();
    std::vector<MenuListItem> items;
    if (state.listed.empty()) {
        items.push_back({NoInputText, false, false});
    } else {
        items.push_back({AllDevicesText, state.choice == Choice::AllDevices});
        for (const MidiPort& port : state.listed)
            items.push_back({port.name, state.choice == Choice::OneDevice && port.name == state.chosenName &&
                                            openCount(port.name) > 0});
        items.push_back({NoneText, state.choice == Choice::None});
    }
    setMenuList(CMD_MIDI_INPUT_FIRST, CMD_MIDI_INPUT_LAST, items, true);
}

void chooseMidiInput(int index) {
    int count = static_cast<int>(state.listed.size());
    if (count == 0 || index < 0 || index > count + 1) return;
    if (index == 0) state.choice = Choice::AllDevices;
    else if (index == count + 1) state.choice = Choice::None;
    else {
        state.choice = Choice::OneDevice;
        state.chosenName = state.listed[static_cast<size_t>(index) - 1].name;
    }
    writeChoice();
    applyChoice();
}

void switchMidiVelocity() {
    state.velocity = !state.velocity;
    writeProgramSetting(VelocitySetting, state.velocity ? "on" : "off");
    setMenuItemChecked(CMD_MIDI_VELOCITY, state.velocity);
}
