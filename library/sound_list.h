// The sound list's order. A sound is known everywhere by its position in the
// list, counted from 0.
#pragma once

// Inserts before the first entry the name compares less than; equal names
// (apart from case) go after all of them.
void insertSoundSorted(const char* name);
// The list's order: WAV files first, then every other sound, each by name.
int compareListedSounds(const char* a, const char* b);
