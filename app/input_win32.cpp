#include "app/input.h"

#include <windows.h>

bool isAltDown() { return (GetAsyncKeyState(VK_MENU) & 0x8000) != 0; }
bool isCtrlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }
bool isLeftButtonDown() { return GetAsyncKeyState(VK_LBUTTON) != 0; }
uint32_t tickCount() { return GetTickCount(); }

int pointerScreenX() {
    POINT pointer = {};
    GetCursorPos(&pointer);
    return pointer.x;
}

// The position that came with the press message, a signed 16-bit screen x.
int pointerScreenXAtPress() { return static_cast<short>(LOWORD(GetMessagePos())); }
