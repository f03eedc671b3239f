// What the notes of a MIDI input do to the keys: the note-on and note-off
// that midi/midi_input.cpp has read from an input press and release the key
// the note map (midi/note_map.h) gives, as its computer key does.
#pragma once

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
