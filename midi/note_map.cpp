#include "midi/note_map.h"

#include <cstdio>
#include <string>

#include "base/registry.h"

NoteMap noteMap = defaultNoteMap();

namespace {

constexpr char MapSetting[] = "MidiMap";
// "note:key" for every note that plays a key, comma-separated: at most 128
// entries of 7 characters.
constexpr size_t MapTextCapacity = 1024;

bool isNote(int note) { return note >= 0 && note < MidiNoteCount; }

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
