#include "base/input.h"

#include <windows.h>

#include "base/short_wait_win32.h"

bool isAltDown() { return (GetAsyncKeyState(VK_MENU) & 0x8000) != 0; }
bool isCtrlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }
bool isLeftButtonDown() { return GetAsyncKeyState(VK_LBUTTON) != 0; }

void waitBeforeNextPoll() {
    // A whole clock tick between polls would slow the held buttons' repeat.
    static const HANDLE pollTimer = createShortWaitTimer();  // kept for the whole run
    waitShortly(pollTimer, 1);
}
uint32_t tickCount() { return GetTickCount(); }

int pointerScreenX() {
    POINT pointer = {};
    GetCursorPos(&pointer);
    return pointer.x;
}

// The position that came with the press message, a signed 16-bit screen x.
int pointerScreenXAtPress() { return static_cast<short>(LOWORD(GetMessagePos())); }
