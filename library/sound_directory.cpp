#include "library/sound_directory.h"

#include <cstring>

#include "audio/sound_bank.h"
#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/playing.h"
#include "panel/panel_redraw.h"
#include "setup/document.h"

char soundDirectory[PathCapacity] = "";
char soundDirectoryTitle[PathCapacity] = "";

namespace {

void insertFoundSound(const char* name, void*) { insertSoundSorted(name); }

}  // namespace

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
    forEachWaveFile(insertFoundSound, nullptr);
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
