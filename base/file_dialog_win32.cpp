#include "base/file_dialog_win32.h"

#include "base/app_handles_win32.h"

OPENFILENAMEA fileDialog(const char* title, const char* filter, const char* extension, DWORD flags,
                         char path[PathCapacity], char* name) {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainWindow;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = PathCapacity;
    dialog.lpstrFileTitle = name;
    dialog.nMaxFileTitle = name ? PathCapacity : 0;
    dialog.lpstrTitle = title;  // the folder it opens in is the dialog's own choice
    dialog.Flags = flags;
    dialog.lpstrDefExt = extension;
    return dialog;
}
