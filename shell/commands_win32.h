// What the main window does for a command of the menu or the accelerators,
// and for the messages the program posts to itself.
#pragma once
#include <windows.h>

void runCommand(UINT id, WPARAM wParam, LPARAM lParam);
// The menu, or one of its submenus, is about to open.
void prepareMenu(HMENU menu);
// Handles the program's own posted messages and timers; false for any other message.
bool handleProgramMessage(UINT message, WPARAM wParam, LPARAM lParam);
