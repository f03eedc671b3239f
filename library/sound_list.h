// The sound list's order and the text of its rows. A sound is known everywhere
// by its position in the list, counted from 0.
#pragma once

#include "base/text_sizes.h"

// A row's number, two blanks and the name.
constexpr int RowTextCapacity = PathCapacity + 16;

// Inserts before the first entry the name compares less than; equal names
// (apart from case) go after all of them.
void insertSoundSorted(const char* name);
// The text a row shows: " 0%d  %s" below 10, " %d  %s" from 10, the name
// without its last four characters (".wav") when it has at least four.
void soundListRowText(int index, const char* name, char text[RowTextCapacity]);
