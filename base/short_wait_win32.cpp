#include "base/short_wait_win32.h"

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
