// Process-wide handles of the Windows shell, set at start-up.
#pragma once
#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HMENU mainMenu;
extern HBRUSH panelBackBrush;  // RGB(0, 51, 0): window, list and control background

// Sends a key message to the main window, which plays the keys; the system
// forms (keys pressed with Alt) go as plain key-down and key-up messages.
void forwardKeyToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
