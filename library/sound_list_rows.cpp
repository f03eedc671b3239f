#include "library/sound_list_rows.h"

#include <cstdio>
#include <cstring>

#include "base/utf8_text.h"

void soundListRowText(int index, const char* name, char text[RowTextCapacity]) {
    int number = index + 1;
    // The ".wav" is not shown; a name too short to have it is shown whole.
    size_t characters = textCharacters(name);
    int shown = static_cast<int>(characters >= 4 ? leadingTextBytes(name, characters - 4, std::strlen(name))
                                                 : std::strlen(name));
    std::snprintf(text, RowTextCapacity, number < 10 ? " 0%d  %.*s" : " %d  %.*s", number, shown, name);
}
