// Shell services for files from outside: shortcuts and the long path form.
#include "library/external_file.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/app_handles_win32.h"
#include "base/scoped_win32.h"
#include "base/utf8_text.h"
#include "base/wide_text_win32.h"

ShortcutResult resolveShortcut(const char* shortcutPath, char target[PathCapacity]) {
    // Initialised around each resolution only: nothing else uses the library.
    ScopedComLibrary library;
    if (!library.initialised) return ShortcutResult::NotResolved;
    // Declared after the library, so released before it is uninitialised.
    ScopedComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.outVoid())))
        return ShortcutResult::NotResolved;
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.outVoid()))) return ShortcutResult::NotResolved;
    WCHAR widePath[PathCapacity];
    if (MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, widePath, PathCapacity) == 0)
        return ShortcutResult::NotResolved;
    if (FAILED(file->Load(widePath, STGM_READ))) return ShortcutResult::NotResolved;
    // A moved target may be searched for, with the shell's own interface.
    if (FAILED(link->Resolve(mainWindow, SLR_ANY_MATCH))) return ShortcutResult::NotResolved;
    char path[PathCapacity] = "";
    WIN32_FIND_DATAA findData;
    if (FAILED(link->GetPath(path, PathCapacity, &findData, SLGP_SHORTPATH))) return ShortcutResult::NoTargetPath;
    // A shortcut to something that is not a file (a printer, say) has no path.
    if (path[0] == '\0') return ShortcutResult::NotResolved;
    lstrcpynA(target, path, PathCapacity);
    return ShortcutResult::Resolved;
}

LongPathResult longPathFromShell(const char* path, char longPath[PathCapacity]) {
    // An empty name would parse as the desktop itself.
    if (path[0] == '\0') return LongPathResult::NotFound;
    // The desktop would take a relative name as one of its own items; a
    // command line means it from the current folder.
    char fullPath[PathCapacity];
    DWORD fullLength = GetFullPathNameA(path, PathCapacity, fullPath, nullptr);
    if (fullLength == 0) return LongPathResult::NotFound;
    if (fullLength >= PathCapacity || !fitsPath(fullPath)) return LongPathResult::Unreadable;
    WCHAR widePath[PathCapacity];
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, fullPath, -1, widePath, PathCapacity) <= 1)
        return LongPathResult::NotFound;
    ScopedTaskMemory<ITEMIDLIST> items;
    {
        ScopedComPtr<IShellFolder> desktop;
        if (FAILED(SHGetDesktopFolder(desktop.out()))) return LongPathResult::NotFound;
        if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, widePath, nullptr, items.out(), nullptr)) ||
            !items.get())
            return LongPathResult::NotFound;
    }
    // Wide, then converted: the ANSI call hands a path over in 260 bytes, too
    // few for a long path in UTF-8.
    WCHAR wideFound[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(items.get(), wideFound) || wideFound[0] == L'\0') return LongPathResult::Unreadable;
    char found[PathCapacity] = "";
    // Its bytes hold any name of MAX_PATH characters: what fails is a name
    // the code page cannot write, which no ANSI call could open.
    if (!wideToProgramText(wideFound, found, PathCapacity)) return LongPathResult::NotFound;
    if (!fitsPath(found)) return LongPathResult::Unreadable;
    lstrcpynA(longPath, found, PathCapacity);
    return LongPathResult::Found;
}
