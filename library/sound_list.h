// The sound list: the sorted file names of the sound directory's WAV files.
// A sound is known everywhere by its position in this list.
#pragma once

constexpr int PathCapacity = 260;  // 259 characters and a terminator
constexpr int NoSelection = -1;

// Platform list queries (the list-box window; a vector in the tests).
int soundListCount();
// Copies entry i (at most 259 characters) into text; false for no such entry.
bool soundListText(int index, char text[PathCapacity]);
int soundListSelection();         // NoSelection when none
void soundListSelect(int index);  // NoSelection selects none
void soundListClear();
void soundListInsertAt(int index, const char* name);
// While held, the list is not drawn entry by entry; at the release it is drawn
// once, whole.
void soundListHoldDrawing(bool held);
// Case-insensitive order of the user's locale (lstrcmpiA on Windows).
int compareSoundNames(const char* a, const char* b);

// Inserts before the first entry the name compares less than; equal names
// (apart from case) go after all of them.
void insertSoundSorted(const char* name);
// The text a row shows: " 0%d  %s" below 10, " %d  %s" from 10, the name
// without its last four characters (".wav") when it has at least four.
void soundListRowText(int index, const char* name, char text[PathCapacity + 16]);
