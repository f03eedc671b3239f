// The text of the sound list's rows, as the list window draws them.
#pragma once

#include "base/text_sizes.h"

// A row's number, two blanks and the name.
constexpr int RowTextCapacity = PathCapacity + 16;

// The text a row shows: " 0%d  %s" below 10, " %d  %s" from 10, the name
// without its extension (from its last dot) when that is one of the sound
// extensions, any other name whole.
void soundListRowText(int index, const char* name, char text[RowTextCapacity]);
