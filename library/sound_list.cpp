#include "library/sound_list.h"

#include <cstdio>
#include <cstring>

void insertSoundSorted(const char* name) {
    int count = soundListCount();
    char entry[PathCapacity];
    for (int i = 0; i < count; ++i) {
        if (!soundListText(i, entry)) continue;
        if (compareSoundNames(name, entry) < 0) {
            soundListInsertAt(i, name);
            return;
        }
    }
    soundListInsertAt(count, name);
}

void soundListRowText(int index, const char* name, char text[PathCapacity + 16]) {
    int number = index + 1;
    size_t length = std::strlen(name);
    // The ".wav" is not shown; a name too short to have it is shown whole.
    int shown = static_cast<int>(length >= 4 ? length - 4 : length);
    std::snprintf(text, PathCapacity + 16, number < 10 ? " 0%d  %.*s" : " %d  %.*s", number, shown, name);
}
