// The main window's menu items as the program changes them. A greyed item's
// accelerator is inert too, so greying a command is all it takes to stop it.
#pragma once

void setMenuItemEnabled(int commandId, bool enabled);
// The item's text, with "\t" before its shortcut label; its id stays.
void setMenuItemText(int commandId, const char* text);
// The check mark before an item that stands for a setting.
void setMenuItemChecked(int commandId, bool checked);
