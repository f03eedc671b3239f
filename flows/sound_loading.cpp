#include "flows/sound_loading.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "audio/sound_bank.h"
#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/key_display.h"
#include "keys/key_voices.h"
#include "keys/playing.h"
#include "library/sound_directory.h"
#include "library/sound_folder.h"
#include "library/sound_list.h"
#include "library/sound_list_window.h"
#include "setup/document.h"

namespace {

constexpr int SoundPathCapacity = 2 * PathCapacity;  // directory, backslash, name and terminator

void insertFoundSound(const char* name, void*) { insertSoundSorted(name); }

void loadListEntry(int index) {
    Voice*& entry = soundBank.soundBuffers[index];
    entry = nullptr;
    char name[PathCapacity] = "";
    if (!soundListText(index, name)) return;
    // A path that does not fit is skipped rather than cut: a cut path could
    // name another file.
    char path[SoundPathCapacity];
    int length = std::snprintf(path, sizeof path, "%s\\%s", soundDirectory, name);
    if (length < 0 || length >= SoundPathCapacity) return;
    loadSound(path, entry);
}

}  // namespace

void loadSoundBank() {
    int count = soundListCount();
    if (count < 0) count = 0;
    if (count > INT16_MAX) count = INT16_MAX;  // the count is a 16-bit number
    soundBank.soundCount = static_cast<int16_t>(count);
    soundBank.soundBuffers.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) loadListEntry(i);
    giveKeysVoices();
}

bool loadSoundDirectory() {
    char previous[PathCapacity];
    if (!getCurrentFolder(previous)) previous[0] = '\0';
    if (soundDirectory[0] == '\0' || !setCurrentFolder(soundDirectory)) {
        if (previous[0] != '\0') setCurrentFolder(previous);
        return false;
    }
    folderTitle(soundDirectory, soundDirectoryTitle);
    updateWindowTitle();
    document.modified = true;
    killAllSounds();
    releaseAllSounds();
    soundListClear();
    // Drawn once when full: drawing it after every name takes longer than the
    // listing itself.
    soundListHoldDrawing(true);
    forEachSoundFile(insertFoundSound, nullptr);
    soundListHoldDrawing(false);
    loadSoundBank();
    refreshSelectedKey();
    if (previous[0] != '\0') setCurrentFolder(previous);
    return true;
}

bool importSounds() {
    char folder[PathCapacity];
    if (!askImportSoundFolder(folder)) return false;
    std::memcpy(soundDirectory, folder, sizeof soundDirectory);
    soundDirectory[PathCapacity - 1] = '\0';
    return loadSoundDirectory();
}

void assignSelectedSoundFromList() {
    document.modified = true;
    takeUndoSnapshot();
    assignSoundToSelectedKey(soundListSelection());
    drawKeyCapLabelIdle(keyBank.selectedKey);
}
