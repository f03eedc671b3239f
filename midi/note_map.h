// Which MIDI note plays which key. The map is the controller's, not the setup's: it is kept under
// HKEY_CURRENT_USER\Software\Quillpad ("MidiMap"), so a pad plays the same
// key whatever setup is open.
#pragma once
#include <cstdint>

#include "keys/key_bank.h"

// The default map plays the 47 keys chromatically from C2 in row order, so a
// 16-pad controller sending 36..51 plays the first 16 keys.
constexpr int DefaultMapFirstNote = 36;

// A note plays at most one key; a key may answer to several notes.
struct NoteMap {
    int8_t keyOfNote[MidiNoteCount];  // -1: the note plays nothing
};

extern NoteMap noteMap;

NoteMap defaultNoteMap();
// The key a note plays, or -1 (also for a note outside 0..127).
int keyIndexForNote(int note);
// The map as last written, or the default one when none was or what was
// written cannot be read.
void loadNoteMap();
// The note plays that key from now on, and no other; written at once.
void bindNoteToKey(int note, int key);
// Back to the default map, written at once.
void resetNoteMap();
