// Platform seam: shell shortcuts and the shell's long path form, for files
// that arrive from outside. Defined in library/external_file_win32.cpp, faked
// in tests.
#pragma once

#include "base/text_sizes.h"

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
