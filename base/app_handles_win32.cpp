#include "base/app_handles_win32.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HMENU mainMenu = nullptr;

void forwardKeyToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    SendMessageA(mainWindow, down ? WM_KEYDOWN : WM_KEYUP, wParam, lParam);
}
