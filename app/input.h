// Input state and time as the key and panel logic poll them.
#pragma once
#include <cstdint>

bool isAltDown();
bool isCtrlDown();
bool isLeftButtonDown();
uint32_t tickCount();  // milliseconds, wraps around
int pointerScreenX();  // the mouse pointer's horizontal position on the screen
