#include "fakes/fake_setup_storage.h"

#include <algorithm>
#include <cstdio>

#include "fakes/call_log.h"
#include "setup/setup_dialogs.h"

FakeSetupStorage fakeSetupStorage;

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
    return choose(fakeSetupStorage.openChoice, fakeSetupStorage.openPath, path, name);
}

FileChoice askSaveSetupPath(const char* initialName, char path[PathCapacity], char name[PathCapacity]) {
    callLog.push_back(std::string("dialog save setup ") + initialName);
    return choose(fakeSetupStorage.saveChoice, fakeSetupStorage.savePath, path, name);
}

bool readSetupFile(const char* path, size_t maxBytes, std::vector<uint8_t>& bytes) {
    callLog.push_back(std::string("file read ") + path);
    if (fakeSetupStorage.locked.count(path)) return false;
    const std::vector<uint8_t>& held = fakeSetupStorage.files[path];  // made empty when missing
    bytes.assign(held.begin(), held.begin() + static_cast<long>(std::min(maxBytes, held.size())));
    return true;
}

bool storeSetupFile(const char* path, SaveTarget target, const std::vector<uint8_t>& bytes) {
    callLog.push_back(std::string("file store ") + path);
    FakeSetupStorage& storage = fakeSetupStorage;
    if (storage.locked.count(path)) return false;
    if (target == SaveTarget::ExistingFile && !storage.files.count(path)) return false;
    if (storage.writesFail) return false;
    storage.files[path] = bytes;
    return true;
}
