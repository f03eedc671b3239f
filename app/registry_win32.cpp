// The classes root of the registry and the program's own path.
#include <windows.h>

#include <cstring>

#include "app/registry.h"
#include "app/scoped_win32.h"

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

bool programFilePath(char path[PathCapacity]) {
    // A path that fills the buffer was cut.
    DWORD length = GetModuleFileNameA(nullptr, path, PathCapacity);
    return length > 0 && length < PathCapacity;
}
