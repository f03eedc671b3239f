// Waits of a few milliseconds that last as long as asked.
#pragma once
#include <windows.h>

// A waitable timer that keeps short waits short: high-resolution where
// Windows has one (10 1803 and later), where a plain wait can last a whole
// 15.6 ms clock tick. Null when no timer can be made.
HANDLE createShortWaitTimer();
// Waits the milliseconds on the timer, or sleeps them without one.
void waitShortly(HANDLE timer, LONG milliseconds);
