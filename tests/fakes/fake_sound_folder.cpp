// Folder changes recorded as "folder set <folder>", with " (missing)" when the
// folder is not there, and the Import dialog as "dialog import".
#include "fakes/fake_sound_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "fakes/call_log.h"
#include "library/sound_folder.h"

FakeSoundFolder fakeSoundFolder;

bool getCurrentFolder(char folder[PathCapacity]) {
    std::snprintf(folder, PathCapacity, "%s", fakeSoundFolder.currentFolder.c_str());
    return true;
}
bool setCurrentFolder(const char* folder) {
    const auto& known = fakeSoundFolder.existingFolders;
    bool exists = std::find(known.begin(), known.end(), folder) != known.end() ||
                  fakeSoundFolder.currentFolder == folder || std::string(folder) == "/start";
    callLog.push_back(std::string("folder set ") + folder + (exists ? "" : " (missing)"));
    if (exists) fakeSoundFolder.currentFolder = folder;
    return exists;
}
void folderTitle(const char* folder, char title[PathCapacity]) {
    const char* slash = std::strrchr(folder, '\\');
    const char* forward = std::strrchr(folder, '/');
    if (!slash || (forward && forward > slash)) slash = forward;
    std::snprintf(title, PathCapacity, "%s", slash ? slash + 1 : folder);
}
void forEachSoundFile(void (*found)(const char* name, void* context), void* context) {
    for (const std::string& name : fakeSoundFolder.soundsInFolder) found(name.c_str(), context);
}
bool askImportSoundFolder(char folder[PathCapacity]) {
    callLog.push_back("dialog import");
    if (!fakeSoundFolder.importChosen) return false;
    std::snprintf(folder, PathCapacity, "%s", fakeSoundFolder.importFolder.c_str());
    return true;
}
