#include "library/sound_list.h"

#include <cstdio>
#include <cstring>

#include "base/utf8_text.h"
#include "library/sound_list_window.h"

// The list is only ever filled through here, so it is in order and the place
// is found by halving: a folder of thousands of sounds lists at once.
void insertSoundSorted(const char* name) {
    int low = 0;
    int high = soundListCount();
    char entry[PathCapacity];
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (soundListText(middle, entry) && compareSoundNames(name, entry) < 0) high = middle;
        else low = middle + 1;
    }
    soundListInsertAt(low, name);
}

void soundListRowText(int index, const char* name, char text[RowTextCapacity]) {
    int number = index + 1;
    // The ".wav" is not shown; a name too short to have it is shown whole.
    size_t characters = textCharacters(name);
    int shown = static_cast<int>(characters >= 4 ? leadingTextBytes(name, characters - 4, std::strlen(name))
                                                 : std::strlen(name));
    std::snprintf(text, RowTextCapacity, number < 10 ? " 0%d  %.*s" : " %d  %.*s", number, shown, name);
}
