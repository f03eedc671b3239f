/* A small Win32 console tool the end-to-end tests run inside the program's
 * Wine prefix to make a shell shortcut, as the desktop's "Create shortcut"
 * does, through IShellLinkA and IPersistFile.
 *
 *   make_shortcut LINK TARGET   -> writes the shortcut file LINK (a .lnk)
 *                                  pointing at TARGET
 *
 * Exit code 2 on a wrong call, 3 when a step fails (the step is named).
 * Built with: x86_64-w64-mingw32-gcc-posix -O2 -static -o make_shortcut.exe make_shortcut.c -lole32 -luuid
 */
#define COBJMACROS
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdio.h>

static int failed(const char* step, HRESULT result) {
    fprintf(stderr, "%s failed: 0x%08lx\n", step, (unsigned long)result);
    return 3;
}

static int saveShortcut(IShellLinkA* link, const char* linkPath, const char* target) {
    HRESULT result = IShellLinkA_SetPath(link, target);
    if (FAILED(result)) return failed("SetPath", result);
    IPersistFile* file = NULL;
    result = IShellLinkA_QueryInterface(link, &IID_IPersistFile, (void**)&file);
    if (FAILED(result)) return failed("QueryInterface IPersistFile", result);
    WCHAR wideLink[MAX_PATH];
    int status = 0;
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wideLink, MAX_PATH) == 0) {
        status = failed("MultiByteToWideChar", HRESULT_FROM_WIN32(GetLastError()));
    } else {
        result = IPersistFile_Save(file, wideLink, TRUE);
        if (FAILED(result)) status = failed("Save", result);
    }
    IPersistFile_Release(file);
    return status;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: make_shortcut LINK TARGET\n");
        return 2;
    }
    HRESULT result = CoInitialize(NULL);
    if (FAILED(result)) return failed("CoInitialize", result);
    IShellLinkA* link = NULL;
    result = CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkA, (void**)&link);
    int status = FAILED(result) ? failed("CoCreateInstance ShellLink", result) : saveShortcut(link, argv[1], argv[2]);
    if (link) IShellLinkA_Release(link);
    CoUninitialize();
    return status;
}
