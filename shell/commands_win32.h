// What the main window does for a command of the menu or the accelerators.
#pragma once
#include <windows.h>

void runCommand(UINT id, WPARAM wParam, LPARAM lParam);
// The menu, or one of its submenus, is about to open.
void prepareMenu(HMENU menu);
