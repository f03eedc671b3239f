// The dialogs recorded as "dialog open setup" and "dialog save setup <proposed name>".
#include "fakes/fake_setup_dialogs.h"

#include <cstdio>

#include "fakes/call_log.h"

FakeSetupDialogs fakeSetupDialogs;

namespace {
FileChoice choose(FileChoice choice, const std::string& chosen, char path[PathCapacity], char name[PathCapacity]) {
    if (choice != FileChoice::Chosen) return choice;
    std::snprintf(path, PathCapacity, "%s", chosen.c_str());
    size_t slash = chosen.find_last_of("\\/");
    std::snprintf(name, PathCapacity, "%s", chosen.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
    return choice;
}
}  // namespace

FileChoice askOpenSetupPath(char path[PathCapacity], char name[PathCapacity]) {
    callLog.push_back("dialog open setup");
    return choose(fakeSetupDialogs.openChoice, fakeSetupDialogs.openPath, path, name);
}

FileChoice askSaveSetupPath(const char* initialName, char path[PathCapacity], char name[PathCapacity]) {
    callLog.push_back(std::string("dialog save setup ") + initialName);
    return choose(fakeSetupDialogs.saveChoice, fakeSetupDialogs.savePath, path, name);
}
