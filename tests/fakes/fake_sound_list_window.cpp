// Holding and releasing the list's drawing recorded as "list hold drawing"
// and "list draw".
#include "fakes/fake_sound_list_window.h"

#include <strings.h>
#include <cstdio>

#include "fakes/call_log.h"
#include "library/sound_list_window.h"

FakeSoundList fakeSoundList;

int soundListCount() { return static_cast<int>(fakeSoundList.entries.size()); }

bool soundListText(int index, char text[PathCapacity]) {
    ++fakeSoundList.textQueries;
    if (index < 0 || index >= soundListCount()) return false;
    std::snprintf(text, PathCapacity, "%s", fakeSoundList.entries[index].c_str());
    return true;
}

int soundListSelection() { return fakeSoundList.selection; }
void soundListSelect(int index) { fakeSoundList.selection = index; }
void soundListClear() {
    fakeSoundList.entries.clear();
    fakeSoundList.selection = -1;
}
void soundListInsertAt(int index, const char* name) {
    fakeSoundList.entries.insert(fakeSoundList.entries.begin() + index, name);
}
int compareSoundNames(const char* a, const char* b) { return strcasecmp(a, b); }
void soundListHoldDrawing(bool held) { callLog.push_back(held ? "list hold drawing" : "list draw"); }
