#include "base/menu.h"

#include <windows.h>

#include "base/app_handles_win32.h"

void setMenuItemEnabled(int commandId, bool enabled) {
    EnableMenuItem(mainMenu, static_cast<UINT>(commandId),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
}

void setMenuItemChecked(int commandId, bool checked) {
    CheckMenuItem(mainMenu, static_cast<UINT>(commandId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

namespace {

// The innermost submenu holding the command, with the menu it hangs from and
// its place there. A search by command looks into submenus too.
bool findSubmenu(HMENU menu, int commandId, HMENU& submenu, HMENU& parent, int& position) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU below = GetSubMenu(menu, i);
        if (!below || GetMenuState(below, static_cast<UINT>(commandId), MF_BYCOMMAND) == static_cast<UINT>(-1))
            continue;
        if (findSubmenu(below, commandId, submenu, parent, position)) return true;
        submenu = below;
        parent = menu;
        position = i;
        return true;
    }
    return false;
}

}  // namespace

void setMenuList(int firstCommandId, int lastCommandId, const std::vector<MenuListItem>& items, bool enabled) {
    HMENU submenu = nullptr, parent = nullptr;
    int position = 0;
    if (!findSubmenu(mainMenu, firstCommandId, submenu, parent, position)) return;
    // The list goes where its first item was; the items around it stay.
    int place = -1;
    for (int i = GetMenuItemCount(submenu) - 1; i >= 0; --i) {
        int id = static_cast<int>(GetMenuItemID(submenu, i));
        if (id < firstCommandId || id > lastCommandId) continue;
        DeleteMenu(submenu, static_cast<UINT>(i), MF_BYPOSITION);
        place = i;
    }
    if (place < 0) place = 0;
    int id = firstCommandId;
    for (const MenuListItem& item : items) {
        if (id > lastCommandId) break;
        UINT flags = MF_BYPOSITION | MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) |
                     (item.enabled ? MF_ENABLED : MF_GRAYED);
        InsertMenuA(submenu, static_cast<UINT>(place++), flags, static_cast<UINT_PTR>(id++), item.text.c_str());
    }
    EnableMenuItem(parent, static_cast<UINT>(position), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

void setMenuItemText(int commandId, const char* text) {
    // Only the text: the item keeps its id and its enabled state.
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<char*>(text);
    SetMenuItemInfoA(mainMenu, static_cast<UINT>(commandId), FALSE, &item);
}
