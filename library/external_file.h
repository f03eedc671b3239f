// Setup files that arrive from outside: the command line and dropped files,
// directly or through a shell shortcut.
#pragma once

#include "library/sound_list.h"

// Opens the file when it is a setup file (".qpd"/".QPD") or a shortcut to one;
// anything else is ignored without a message. No save-changes prompt first.
void openExternalFile(const char* path);
// The last three characters of a text (the whole text when shorter).
void fileTypeSuffix(const char* text, char suffix[4]);

// Platform seam. The shortcut's target (short form); false when there is none.
bool resolveShortcut(const char* shortcutPath, char target[PathCapacity]);
// The path in its long form; false (after "Path not found.") when unknown.
bool longPathFromShell(const char* path, char longPath[PathCapacity]);
