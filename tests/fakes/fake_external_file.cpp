#include "fakes/fake_external_file.h"

#include <cstdio>

#include "fakes/call_log.h"
#include "library/external_file.h"

FakeShell fakeShell;

ShortcutResult resolveShortcut(const char* shortcutPath, char target[PathCapacity]) {
    callLog.push_back(std::string("shell resolve ") + shortcutPath);
    auto found = fakeShell.shortcuts.find(shortcutPath);
    if (found == fakeShell.shortcuts.end()) return ShortcutResult::NotResolved;
    if (fakeShell.targetPathFails.count(shortcutPath)) return ShortcutResult::NoTargetPath;
    std::snprintf(target, PathCapacity, "%s", found->second.c_str());
    return ShortcutResult::Resolved;
}

LongPathResult longPathFromShell(const char* path, char longPath[PathCapacity]) {
    callLog.push_back(std::string("shell long path ") + path);
    if (fakeShell.unreadable.count(path)) return LongPathResult::Unreadable;
    auto found = fakeShell.longPaths.find(path);
    if (found == fakeShell.longPaths.end()) return LongPathResult::NotFound;
    std::snprintf(longPath, PathCapacity, "%s", found->second.c_str());
    return LongPathResult::Found;
}
