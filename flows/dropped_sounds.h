// Sound files dropped onto a key cap: each becomes a key's own file.
#pragma once
#include <string>
#include <vector>

// The files, sorted as the sound list sorts them, fill the key and the keys
// after it in panel order up to the last key; files that are not sounds are
// passed over, a shortcut counts as its target. The key is selected, and the
// drop is one Undo step. False, and nothing changed, when no key was hit or
// no file is a sound: the drop is then handled as any other.
bool dropSoundFilesOnKey(int key, const std::vector<std::string>& paths);
