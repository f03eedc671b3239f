#include "fakes/fake_registry.h"

#include <cstdio>
#include <cstring>

#include "base/registry.h"
#include "fakes/call_log.h"

FakeRegistry fakeRegistry;

namespace {
// Creating a key creates its missing parents, as the registry does.
void createKey(std::set<std::string>& keys, const std::string& key) {
    for (size_t separator = key.find('\\'); separator != std::string::npos; separator = key.find('\\', separator + 1))
        keys.insert(key.substr(0, separator));
    keys.insert(key);
}
}  // namespace

void setClassesDefault(ClassesStore store, const char* key, RegistryKeyUse use, const char* value) {
    FakeRegistry& registry = fakeRegistry;
    bool user = store == ClassesStore::CurrentUser;
    std::set<std::string>& keys = user ? registry.userKeys : registry.keys;
    bool refused = registry.readOnly || (!user && registry.allUsersReadOnly) || registry.refusedKeys.count(key) ||
                   (use == RegistryKeyUse::OpenExisting && !keys.count(key));
    callLog.push_back(std::string(user ? "registry user " : "registry all users ") + key +
                      (refused ? " refused" : std::string(" = ") + value));
    if (refused) return;
    createKey(keys, key);
    (user ? registry.userValues : registry.values)[key] = value;
}

void announceFileTypesChanged() { callLog.push_back("shell file types changed"); }

bool readProgramSetting(const char* name, char* value, size_t capacity) {
    auto found = fakeRegistry.settings.find(name);
    if (found == fakeRegistry.settings.end() || found->second.size() >= capacity) return false;
    std::memcpy(value, found->second.c_str(), found->second.size() + 1);
    return true;
}

void writeProgramSetting(const char* name, const char* value) {
    callLog.push_back(std::string("setting ") + name + " = " + value);
    if (!fakeRegistry.readOnly) fakeRegistry.settings[name] = value;
}

bool programFilePath(char path[PathCapacity]) {
    if (!fakeRegistry.programPathKnown) return false;
    std::snprintf(path, PathCapacity, "%s", fakeRegistry.programPath.c_str());
    return true;
}
