#include "shell/app_win32.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HMENU mainMenu = nullptr;
HBRUSH panelBackBrush = nullptr;

HANDLE createShortWaitTimer() {
    constexpr DWORD HighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, missing from older headers
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, HighResolution, TIMER_ALL_ACCESS);
    return timer ? timer : CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
}

void waitShortly(HANDLE timer, LONG milliseconds) {
    LARGE_INTEGER due = {};
    due.QuadPart = -10000LL * milliseconds;  // relative, in 100-nanosecond units
    if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) WaitForSingleObject(timer, INFINITE);
    else Sleep(static_cast<DWORD>(milliseconds));
}

void forwardKeyToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    SendMessageA(mainWindow, down ? WM_KEYDOWN : WM_KEYUP, wParam, lParam);
}
