#include "app/menu.h"

#include <windows.h>

#include "app/app_win32.h"

void setMenuItemEnabled(int commandId, bool enabled) {
    EnableMenuItem(mainMenu, static_cast<UINT>(commandId),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
}

void setMenuItemChecked(int commandId, bool checked) {
    CheckMenuItem(mainMenu, static_cast<UINT>(commandId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void setMenuItemText(int commandId, const char* text) {
    // Only the text: the item keeps its id and its enabled state.
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<char*>(text);
    SetMenuItemInfoA(mainMenu, static_cast<UINT>(commandId), FALSE, &item);
}
