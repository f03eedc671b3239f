// Shell services for files from outside: shortcuts and the long path form.
#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "app/app_win32.h"
#include "app/dialogs.h"
#include "library/external_file.h"

bool resolveShortcut(const char* shortcutPath, char target[PathCapacity]) {
    bool found = false;
    if (FAILED(CoInitialize(nullptr))) return false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR widePath[MAX_PATH];
            if (MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, widePath, MAX_PATH) > 0 &&
                SUCCEEDED(file->Load(widePath, STGM_READ)) && SUCCEEDED(link->Resolve(mainWindow, SLR_ANY_MATCH))) {
                char path[MAX_PATH];
                WIN32_FIND_DATAA findData;
                if (SUCCEEDED(link->GetPath(path, MAX_PATH, &findData, SLGP_SHORTPATH))) {
                    lstrcpynA(target, path, PathCapacity);
                    found = target[0] != '\0';
                } else {
                    showMessage("GetPath failed!");
                }
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return found;
}

bool longPathFromShell(const char* path, char longPath[PathCapacity]) {
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, widePath, MAX_PATH) == 0) widePath[0] = 0;
    IShellFolder* desktop = nullptr;
    LPITEMIDLIST items = nullptr;
    HRESULT parsed = E_FAIL;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop))) {
        parsed = desktop->ParseDisplayName(nullptr, nullptr, widePath, nullptr, &items, nullptr);
        desktop->Release();
    }
    if (FAILED(parsed) || !items) {
        showMessage("Path not found.");
        return false;
    }
    char found[MAX_PATH] = "";
    bool ok = SHGetPathFromIDListA(items, found) && found[0] != '\0';
    CoTaskMemFree(items);
    if (ok) lstrcpynA(longPath, found, PathCapacity);
    return ok;
}
