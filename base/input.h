// Input state and time as the key and panel logic poll them.
#pragma once
#include <cstdint>

bool isAltDown();
bool isCtrlDown();
bool isLeftButtonDown();
// Between two polls of a held button: the thread gives the processor up for
// about a millisecond, so that holding a button does not hold a core.
void waitBeforeNextPoll();
uint32_t tickCount();  // milliseconds, wraps around
int pointerScreenX();  // the mouse pointer's horizontal position on the screen
// Where the pointer was on the screen, horizontally, when the mouse button press
// being handled was made: it may have moved on since.
int pointerScreenXAtPress();
