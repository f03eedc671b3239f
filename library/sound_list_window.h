// Platform seam: the sound list window, the list box that holds the names.
// Defined in library/sound_list_window_win32.cpp, faked in tests.
#pragma once

#include "base/text_sizes.h"

constexpr int NoSelection = -1;

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
