// Which MIDI note plays which key, and what the notes of a MIDI input do to
// the keys. The map is the controller's, not the setup's: it is kept under
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

// A note-on of an input (device 0..MidiDeviceCapacity-1) presses its key as
// the key's computer key does, without the Alt gestures, unless the computer
// keyboard or another note holds the key already: then it is one press. A
// note-on of a note that holds its key already presses again, as an
// auto-repeated key-down does.
void onNoteOn(int device, int note, int velocity);
// Releases the key that the note's note-on pressed, once nothing else holds
// it; a note that holds no key does nothing.
void onNoteOff(int device, int note);
// Every key the device's notes hold is let go of, as their note-offs would:
// All Notes Off, All Sound Off, and the device closed.
void releaseDeviceNotes(int device);
