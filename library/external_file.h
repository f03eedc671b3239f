// Setup files that arrive from outside: the command line and dropped files,
// directly or through a shell shortcut.
#pragma once

#include "library/sound_list.h"

// Opens the file when it is a setup file (".qpd"/".QPD") or a shortcut to one;
// anything else is ignored without a message. A modified setup is offered for
// saving first, and Cancel there keeps it. The name is taken whole: a command
// line is not split at blanks and its quotes stay.
void openExternalFile(const char* path);
// The last three characters of a text (the whole text when shorter).
void fileTypeSuffix(const char* text, char suffix[4]);

// Platform seam: shell shortcuts and the shell's long path form.
enum class ShortcutResult {
    Resolved,      // target holds the target's path in its short (8.3) form
    NotResolved,   // the shortcut could not be loaded or resolved, or names no file
    NoTargetPath,  // resolved, but its target path could not be read
};
ShortcutResult resolveShortcut(const char* shortcutPath, char target[PathCapacity]);

enum class LongPathResult {
    Found,       // longPath holds the path in its long form
    NotFound,    // the shell cannot parse the path
    Unreadable,  // the shell knows it but gives no file path of at most 259 characters
};
// A relative path is taken from the current folder.
LongPathResult longPathFromShell(const char* path, char longPath[PathCapacity]);
