// Platform seam: the registry's file types, the program's own settings and
// the program's own path.
// Defined in app/registry_win32.cpp for the program, faked in tests.
#pragma once

#include <cstddef>

#include "base/text_sizes.h"

enum class RegistryKeyUse {
    CreateOrOpen,  // made, with its missing parents, when it is not there
    OpenExisting,
};
// Where a file type is registered. Windows shows a user the user's own file
// types before those of the machine.
enum class ClassesStore {
    CurrentUser,  // HKEY_CURRENT_USER\Software\Classes: any user may write it
    AllUsers,     // HKEY_LOCAL_MACHINE\Software\Classes, HKEY_CLASSES_ROOT's own: for an elevated program only
};
// Sets the default (unnamed) text value of a key of the store.
// Nothing happens when the key cannot be had or the value not set.
void setClassesDefault(ClassesStore store, const char* key, RegistryKeyUse use, const char* value);
// Tells the shell that file types changed, so that it uses the new ones at once.
void announceFileTypesChanged();
// The program's own settings: text values under
// HKEY_CURRENT_USER\Software\Quillpad. Reading gives false when the value is
// missing, is no text or does not fit in capacity bytes with its terminator.
bool readProgramSetting(const char* name, char* value, size_t capacity);
// Nothing happens when the key cannot be had or the value not set.
void writeProgramSetting(const char* name, const char* value);
// The full path of the program's executable; false when it is unknown or
// longer than 259 characters.
bool programFilePath(char path[PathCapacity]);
