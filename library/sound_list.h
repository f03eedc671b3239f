// The sound list's order. A sound is known everywhere by its position in the
// list, counted from 0.
#pragma once

// Sorted as the list sorts: WAV files before every other sound file, so that
// the positions a setup stored before other kinds were listed still name the
// same sounds; within each part by compareSoundNames. Less than, equal to or
// greater than 0 as a goes before, with or after b.
int compareListedSounds(const char* a, const char* b);
// Inserts before the first entry the name sorts before; names that sort
// equal (the same apart from case) go after all of them.
void insertSoundSorted(const char* name);
