#include "flows/sound_loading.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "base/dialogs.h"
#include "base/joined_text.h"
#include "base/utf8_text.h"
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
#include "sound_files/sound_decoding.h"
#include "sound_files/sound_file_type.h"

namespace {

constexpr int SoundPathCapacity = 2 * PathCapacity;  // directory, backslash, name and terminator

void insertFoundSound(const char* name, void*) { insertSoundSorted(name); }

// WAV files load with the list; any other sound waits until a key needs it.
void loadListEntry(int index) {
    Voice*& entry = soundBank.soundBuffers[index];
    entry = nullptr;
    soundBank.soundPaths[index].clear();
    soundBank.soundStates[index] = SoundState::Failed;
    char name[PathCapacity] = "";
    if (!soundListText(index, name)) return;
    // A path that does not fit is skipped rather than cut: a cut path could
    // name another file.
    char path[SoundPathCapacity];
    int length = std::snprintf(path, sizeof path, "%s\\%s", soundDirectory, name);
    if (length < 0 || length >= SoundPathCapacity) return;
    soundBank.soundPaths[index] = path;
    if (soundFileType(name) != SoundFileType::Wave) {
        soundBank.soundStates[index] = SoundState::Waiting;
        return;
    }
    if (loadSound(path, entry)) soundBank.soundStates[index] = SoundState::Loaded;
}

// A few names, then how many more: a message holds 255 characters.
constexpr size_t NamedFailures = 3;

void appendNames(std::string& text, const char* heading, const std::vector<std::string>& names) {
    if (names.empty()) return;
    if (!text.empty()) text += "\n\n";
    text += heading;
    for (size_t i = 0; i < names.size() && i < NamedFailures; ++i) text += "\n" + names[i];
    if (names.size() > NamedFailures) text += "\nand " + std::to_string(names.size() - NamedFailures) + " more.";
}

std::string failureText(const std::vector<SoundFailure>& failures) {
    std::vector<std::string> missing, unplayable;
    for (const SoundFailure& failure : failures) {
        if (failure.result == WaveErrorCannotOpen) {
            missing.push_back(fileNamePart(failure.path.c_str()));
            continue;
        }
        const char* kind = soundFileTypeName(soundFileType(failure.path.c_str()));
        unplayable.push_back(std::string(fileNamePart(failure.path.c_str())) + " (" +
                             (failure.result == DecoderErrorMissing ? "no decoder for " : "") + kind + ")");
    }
    std::string text;
    appendNames(text, "These sound files were not found:", missing);
    appendNames(text, "These sounds could not be played:", unplayable);
    return text;
}

}  // namespace

void takeFinishedSounds() {
    takeDecodedSounds(giveVoicesOfSound);
    if (isAnySoundLoading()) return;
    std::vector<SoundFailure> failures = takeSoundFailures();
    if (failures.empty()) return;
    char text[ShownTextCapacity];
    joinText(text, sizeof text, {failureText(failures).c_str()});
    showMessage(text);
}

void loadSoundBank() {
    int count = soundListCount();
    if (count < 0) count = 0;
    if (count > INT16_MAX) count = INT16_MAX;  // the count is a 16-bit number
    soundBank.soundCount = static_cast<int16_t>(count);
    soundBank.soundBuffers.resize(static_cast<size_t>(count));
    soundBank.soundPaths.resize(static_cast<size_t>(count));
    soundBank.soundStates.resize(static_cast<size_t>(count));
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
