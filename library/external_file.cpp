#include "library/external_file.h"

#include <cstdio>
#include <cstring>

#include "setup/setup_commands.h"

void fileTypeSuffix(const char* text, char suffix[4]) {
    size_t length = std::strlen(text);
    std::snprintf(suffix, 4, "%s", length < 3 ? text : text + length - 3);
}

void openExternalFile(const char* path) {
    char suffix[4];
    fileTypeSuffix(path, suffix);
    char target[PathCapacity];
    if (std::strcmp(suffix, "LNK") == 0 || std::strcmp(suffix, "lnk") == 0) {
        if (!resolveShortcut(path, target)) return;
        fileTypeSuffix(target, suffix);
    } else {
        std::snprintf(target, sizeof target, "%s", path);
    }
    // Case matters: the upper-case form is what 8.3 names look like.
    if (std::strcmp(suffix, "qpd") != 0 && std::strcmp(suffix, "QPD") != 0) return;
    char longPath[PathCapacity];
    // After "Path not found." there is no file to open: nothing changes.
    if (!longPathFromShell(target, longPath)) return;
    // The open flow makes the long path the setup's path and its file part the name.
    openSetupFile(longPath);
}
