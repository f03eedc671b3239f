#include "flows/outside_files.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/dialogs.h"
#include "base/utf8_text.h"
#include "flows/setup_commands.h"
#include "library/external_file.h"
#include "setup/setup_file.h"

namespace {

// Case matters: the upper-case forms are what 8.3 names look like, and a
// mixed-case name is not taken for one of ours.
bool isShortcutSuffix(const char* suffix) { return std::strcmp(suffix, "LNK") == 0 || std::strcmp(suffix, "lnk") == 0; }
bool isSetupSuffix(const char* suffix) { return std::strcmp(suffix, "qpd") == 0 || std::strcmp(suffix, "QPD") == 0; }

// The setup file a name stands for, directly or as a shortcut's target;
// false when it stands for none.
bool setupFileNamed(const char* path, char target[PathCapacity]) {
    char suffix[SuffixCapacity];
    fileTypeSuffix(path, suffix);
    bool shortcut = isShortcutSuffix(suffix);
    if (!shortcut && !isSetupSuffix(suffix)) return false;
    // Cut to fit, the name could stand for another file.
    if (!fitsPath(path)) {
        showMessage(ErrorReadingFileText);
        return false;
    }
    if (!shortcut) {
        std::memcpy(target, path, std::strlen(path) + 1);
        return true;
    }
    switch (resolveShortcut(path, target)) {
    case ShortcutResult::Resolved:
        break;
    case ShortcutResult::NoTargetPath:
        showMessage("GetPath failed!");
        return false;
    default:
        return false;
    }
    fileTypeSuffix(target, suffix);
    return isSetupSuffix(suffix);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The name the user knows the file by, not its 8.3 form.
bool longPathOf(const char* path, char longPath[PathCapacity]) {
    switch (longPathFromShell(path, longPath)) {
    case LongPathResult::Found:
        return true;
    case LongPathResult::NotFound:
        showMessage("Path not found.");
        return false;
    default:
        showMessage(ErrorReadingFileText);
        return false;
    }
}

}  // namespace

void fileTypeSuffix(const char* text, char suffix[SuffixCapacity]) {
    size_t length = std::strlen(text);
    size_t kept = length < 3 ? length : 3;
    std::memcpy(suffix, text + length - kept, kept);
    suffix[kept] = '\0';
}

void openExternalFile(const char* path) {
    char target[PathCapacity];
    if (!setupFileNamed(path, target)) return;
    char longPath[PathCapacity];
    if (!longPathOf(target, longPath)) return;
    // Opening from the desktop replaces the setup like Open does: never
    // without the chance to save it.
    if (confirmSaveChanges() == SaveChangesResult::Stop) return;
    // The open flow makes the long path the setup's path and its file name
    // with extension the setup's name.
    openSetupFile(longPath);
}

void openCommandLineFile(const char* commandLine) {
    const char* first = commandLine;
    while (isBlank(*first)) ++first;
    size_t length = std::strlen(first);
    while (length > 0 && isBlank(first[length - 1])) --length;
    bool quoted = length >= 2 && first[0] == '"' && first[length - 1] == '"' &&
                  std::memchr(first + 1, '"', length - 2) == nullptr;
    if (!quoted) {
        openExternalFile(commandLine);
        return;
    }
    // Whole however long, so that a name too long to open is refused, not cut.
    openExternalFile(std::string(first + 1, length - 2).c_str());
}
