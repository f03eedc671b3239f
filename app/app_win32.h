// Process-wide handles of the Windows shell, set at start-up.
#pragma once
#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HMENU mainMenu;
extern HBRUSH PanelBackBrush;  // RGB(0, 51, 0): window, list and control background

constexpr int ClientWidth = 604;
constexpr int ClientHeight = 327;
