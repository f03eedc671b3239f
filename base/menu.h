// The main window's menu items as the program changes them. A greyed item's
// accelerator is inert too, so greying a command is all it takes to stop it.
#pragma once
#include <string>
#include <vector>

void setMenuItemEnabled(int commandId, bool enabled);
// The item's text, with "\t" before its shortcut label; its id stays.
void setMenuItemText(int commandId, const char* text);
// The check mark before an item that stands for a setting.
void setMenuItemChecked(int commandId, bool checked);

struct MenuListItem {
    std::string text;
    bool checked;
    bool enabled = true;
};
// Fills the submenu that holds the commands firstCommandId..lastCommandId
// with one item per entry, their ids counted up from firstCommandId (entries
// past lastCommandId are left out), in the place of the items of those ids;
// its other items stay. The submenu itself is greyed when not enabled.
void setMenuList(int firstCommandId, int lastCommandId, const std::vector<MenuListItem>& items, bool enabled);
