#include "fakes/fake_sound_list.h"

#include <strings.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "fakes/call_log.h"
#include "library/sound_directory.h"
#include "library/sound_folder.h"
#include "library/sound_list_window.h"
#include "setup/document.h"

FakeLibrary fakeLibrary;

void FakeLibrary::reset() { *this = FakeLibrary(); }

int soundListCount() { return static_cast<int>(fakeLibrary.entries.size()); }

bool soundListText(int index, char text[PathCapacity]) {
    ++fakeLibrary.textQueries;
    if (index < 0 || index >= soundListCount()) return false;
    std::snprintf(text, PathCapacity, "%s", fakeLibrary.entries[index].c_str());
    return true;
}

int soundListSelection() { return fakeLibrary.selection; }
void soundListSelect(int index) { fakeLibrary.selection = index; }
void soundListClear() {
    fakeLibrary.entries.clear();
    fakeLibrary.selection = -1;
}
void soundListInsertAt(int index, const char* name) {
    fakeLibrary.entries.insert(fakeLibrary.entries.begin() + index, name);
}
int compareSoundNames(const char* a, const char* b) { return strcasecmp(a, b); }
void soundListHoldDrawing(bool held) { callLog.push_back(held ? "list hold drawing" : "list draw"); }

bool getCurrentFolder(char folder[PathCapacity]) {
    std::snprintf(folder, PathCapacity, "%s", fakeLibrary.currentFolder.c_str());
    return true;
}
bool setCurrentFolder(const char* folder) {
    const auto& known = fakeLibrary.existingFolders;
    bool exists = std::find(known.begin(), known.end(), folder) != known.end() || fakeLibrary.currentFolder == folder ||
                  std::string(folder) == "/start";
    callLog.push_back(std::string("folder set ") + folder + (exists ? "" : " (missing)"));
    if (exists) fakeLibrary.currentFolder = folder;
    return exists;
}
void folderTitle(const char* folder, char title[PathCapacity]) {
    const char* slash = std::strrchr(folder, '\\');
    const char* forward = std::strrchr(folder, '/');
    if (!slash || (forward && forward > slash)) slash = forward;
    std::snprintf(title, PathCapacity, "%s", slash ? slash + 1 : folder);
}
void forEachWaveFile(void (*found)(const char* name, void* context), void* context) {
    for (const std::string& name : fakeLibrary.wavesInFolder) found(name.c_str(), context);
}
bool askImportSoundFolder(char folder[PathCapacity]) {
    callLog.push_back("dialog import");
    if (!fakeLibrary.importChosen) return false;
    std::snprintf(folder, PathCapacity, "%s", fakeLibrary.importFolder.c_str());
    return true;
}
void setMainWindowTitle(const char* title) {
    fakeLibrary.windowTitle = title;
    callLog.push_back(std::string("title ") + title);
}
