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

// Messages the program posts to its own window from other threads, so that
// their work is done on the program's thread.
constexpr UINT OutputLostMessage = WM_APP + 1;  // wParam: the stream's generation
constexpr UINT DefaultOutputChangedMessage = WM_APP + 2;
constexpr UINT OutputEndpointsChangedMessage = WM_APP + 3;
constexpr UINT RecordingEndedMessage = WM_APP + 4;

// The main window's timers.
constexpr UINT_PTR OutputRetryTimer = 1;
