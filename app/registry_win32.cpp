// The classes root of the registry and the program's own path.
#include "app/registry.h"

#include <windows.h>
#include <cstring>

#include "app/scoped_win32.h"
#include "app/utf8_text.h"

void setClassesRootDefault(const char* keyName, RegistryKeyUse use, const char* value) {
    ScopedRegistryKey key;
    LSTATUS opened = use == RegistryKeyUse::CreateOrOpen
                         ? RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName, 0, const_cast<char*>(""),
                                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.out(), nullptr)
                         : RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_ALL_ACCESS, key.out());
    if (opened != ERROR_SUCCESS) return;
    // The terminator is stored too, so that every reader of the text finds its end.
    RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
}

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
