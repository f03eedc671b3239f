// What Windows gave the program as it started, and the window and menu the
// shell made: set by the shell once, used by base's helpers as the owner of
// their dialogs and menus.
#pragma once
#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HMENU mainMenu;

// Sends a key message to the main window, which plays the keys; the system
// forms (keys pressed with Alt) go as plain key-down and key-up messages.
void forwardKeyToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
