#include "flows/dropped_sounds.h"

#include <algorithm>

#include "base/text_sizes.h"
#include "base/utf8_text.h"
#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/key_display.h"
#include "keys/key_selection.h"
#include "keys/key_voices.h"
#include "library/external_file.h"
#include "library/sound_list.h"
#include "setup/document.h"
#include "sound_files/sound_file_type.h"

namespace {

// The sound file a dropped name stands for, directly or as a shortcut's
// target, by its long name; false when it stands for none.
bool soundFileNamed(const std::string& path, std::string& sound) {
    if (!fitsPath(path.c_str())) return false;  // cut, it could name another file
    if (!endsWithIgnoringCase(path.c_str(), ".lnk")) {
        sound = path;
        return soundFileType(path.c_str()) != SoundFileType::NotSound;
    }
    char target[PathCapacity];
    char longPath[PathCapacity];
    if (resolveShortcut(path.c_str(), target) != ShortcutResult::Resolved) return false;
    if (longPathFromShell(target, longPath) != LongPathResult::Found) return false;
    sound = longPath;
    return soundFileType(longPath) != SoundFileType::NotSound;
}

}  // namespace

bool dropSoundFilesOnKey(int key, const std::vector<std::string>& paths) {
    if (!isKeyIndex(key)) return false;
    std::vector<std::string> sounds;
    for (const std::string& path : paths) {
        std::string sound;
        if (soundFileNamed(path, sound)) sounds.push_back(sound);
    }
    if (sounds.empty()) return false;
    std::stable_sort(sounds.begin(), sounds.end(), [](const std::string& a, const std::string& b) {
        return compareListedSounds(fileNamePart(a.c_str()), fileNamePart(b.c_str())) < 0;
    });
    int count = std::min(static_cast<int>(sounds.size()), KeyCount - key);
    selectKeyFromPanel(key);
    takeKeysUndoSnapshot(count);
    for (int i = 0; i < count; ++i) giveKeyOwnFile(key + i, sounds[static_cast<size_t>(i)]);
    refreshSelectedKey();
    document.modified = true;
    return true;
}
