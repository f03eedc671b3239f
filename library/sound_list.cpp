#include "library/sound_list.h"

#include "library/sound_list_window.h"
#include "sound_files/sound_file_type.h"

int compareListedSounds(const char* a, const char* b) {
    bool aIsWave = soundFileType(a) == SoundFileType::Wave;
    bool bIsWave = soundFileType(b) == SoundFileType::Wave;
    if (aIsWave != bIsWave) return aIsWave ? -1 : 1;
    return compareSoundNames(a, b);
}

// The list is only ever filled through here, so it is in order and the place
// is found by halving: a folder of thousands of sounds lists at once.
void insertSoundSorted(const char* name) {
    int low = 0;
    int high = soundListCount();
    char entry[PathCapacity];
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (soundListText(middle, entry) && compareListedSounds(name, entry) < 0) high = middle;
        else low = middle + 1;
    }
    soundListInsertAt(low, name);
}
