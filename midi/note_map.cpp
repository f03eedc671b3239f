#include "midi/note_map.h"

#include <cstdio>
#include <string>

#include "base/registry.h"
#include "keys/playing.h"

NoteMap noteMap = defaultNoteMap();

namespace {

constexpr char MapSetting[] = "MidiMap";
// "note:key" for every note that plays a key, comma-separated: at most 128
// entries of 7 characters.
constexpr size_t MapTextCapacity = 1024;

bool isNote(int note) { return note >= 0 && note < MidiNoteCount; }
bool isDevice(int device) { return device >= 0 && device < MidiDeviceCapacity; }

// A whole number of at most three digits at text, moving text past it; -1 when there is none.
int readNumber(const char*& text) {
    int value = 0, digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (++digits > 3) return -1;
        value = value * 10 + (*text - '0');
    }
    return digits == 0 ? -1 : value;
}

// False, leaving map as it was, when the text is not a map this program wrote.
bool parseNoteMap(const char* text, NoteMap& map) {
    NoteMap read;
    for (int8_t& key : read.keyOfNote) key = -1;
    while (*text != '\0') {
        int note = readNumber(text);
        if (!isNote(note) || *text++ != ':') return false;
        int key = readNumber(text);
        if (!isKeyIndex(key)) return false;
        read.keyOfNote[note] = static_cast<int8_t>(key);
        if (*text == ',') ++text;
        else if (*text != '\0') return false;
    }
    map = read;
    return true;
}

void writeNoteMap() {
    std::string text;
    for (int note = 0; note < MidiNoteCount; ++note) {
        if (noteMap.keyOfNote[note] < 0) continue;
        if (!text.empty()) text += ',';
        text += std::to_string(note) + ':' + std::to_string(noteMap.keyOfNote[note]);
    }
    writeProgramSetting(MapSetting, text.c_str());
}

}  // namespace

NoteMap defaultNoteMap() {
    NoteMap map;
    for (int note = 0; note < MidiNoteCount; ++note) {
        int key = note - DefaultMapFirstNote;
        map.keyOfNote[note] = static_cast<int8_t>(isKeyIndex(key) ? key : -1);
    }
    return map;
}

int keyIndexForNote(int note) { return isNote(note) ? noteMap.keyOfNote[note] : -1; }

void loadNoteMap() {
    char text[MapTextCapacity];
    noteMap = defaultNoteMap();
    if (readProgramSetting(MapSetting, text, sizeof text)) parseNoteMap(text, noteMap);
}

void bindNoteToKey(int note, int key) {
    if (!isNote(note) || !isKeyIndex(key)) return;
    noteMap.keyOfNote[note] = static_cast<int8_t>(key);
    writeNoteMap();
}

void resetNoteMap() {
    noteMap = defaultNoteMap();
    writeNoteMap();
}

void onNoteOn(int device, int note, int velocity) {
    if (!isDevice(device) || !isNote(note)) return;
    int key = keyIndexForNote(note);
    uint8_t& held = keyBank.keyOfHeldNote[device][note];
    if (held != 0 && held - 1 == key) {
        // The same note again without its note-off: a press again, if the note alone holds the key.
        if (keyBank.midiHolds[key] == 1 && !keyBank.held[key]) pressKey(key, velocity);
        return;
    }
    if (held != 0) onNoteOff(device, note);  // learn moved the note to another key meanwhile
    if (key < 0) return;
    held = static_cast<uint8_t>(key + 1);
    if (keyBank.midiHolds[key]++ == 0 && !keyBank.held[key]) pressKey(key, velocity);
}

void onNoteOff(int device, int note) {
    if (!isDevice(device) || !isNote(note)) return;
    uint8_t& held = keyBank.keyOfHeldNote[device][note];
    if (held == 0) return;
    int key = held - 1;
    held = 0;
    if (keyBank.midiHolds[key] > 0 && --keyBank.midiHolds[key] == 0 && !keyBank.held[key]) releaseKey(key);
}

void releaseDeviceNotes(int device) {
    if (!isDevice(device)) return;
    for (int note = 0; note < MidiNoteCount; ++note) onNoteOff(device, note);
}
