// The registry's file types, the program's settings and the program's own path.
#include "base/registry.h"

#include <windows.h>
#include <shlobj.h>
#include <cstring>
#include <string>

#include "base/scoped_win32.h"
#include "base/utf8_text.h"

void setClassesDefault(ClassesStore store, const char* keyName, RegistryKeyUse use, const char* value) {
    // Not through HKEY_CLASSES_ROOT: where the user's store has the key, a write
    // there lands in the user's store, and would never reach the machine's.
    HKEY root = store == ClassesStore::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    std::string path = std::string("Software\\Classes\\") + keyName;
    ScopedRegistryKey key;
    LSTATUS opened = use == RegistryKeyUse::CreateOrOpen
                         ? RegCreateKeyExA(root, path.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS, nullptr, key.out(), nullptr)
                         : RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.out());
    if (opened != ERROR_SUCCESS) return;
    // The terminator is stored too, so that every reader of the text finds its end.
    RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
}

void announceFileTypesChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

namespace {
constexpr char ProgramSettingsKey[] = "Software\\Quillpad";
}  // namespace

bool readProgramSetting(const char* name, char* value, size_t capacity) {
    ScopedRegistryKey key;
    if (capacity == 0 ||
        RegOpenKeyExA(HKEY_CURRENT_USER, ProgramSettingsKey, 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(capacity);
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // A stored text need not end in a terminator: one must fit after it.
    if (size > 0 && value[size - 1] == '\0') return true;
    if (size >= capacity) return false;
    value[size] = '\0';
    return true;
}

void writeProgramSetting(const char* name, const char* value) {
    ScopedRegistryKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ProgramSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.out(), nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
}

bool programFilePath(char path[PathCapacity]) {
    // A path that fills the buffer was cut.
    DWORD length = GetModuleFileNameA(nullptr, path, PathCapacity);
    return length > 0 && length < PathCapacity && fitsPath(path);
}
