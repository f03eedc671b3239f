#include "library/sound_list.h"

#include <cstring>

#include "library/sound_list_window.h"
#include "sound_files/sound_file_type.h"

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

int compareListedSounds(const char* a, const char* b) {
    bool waveA = soundFileType(a) == SoundFileType::Wave;
    bool waveB = soundFileType(b) == SoundFileType::Wave;
    if (waveA != waveB) return waveA ? -1 : 1;
    return compareSoundNames(a, b);
}
