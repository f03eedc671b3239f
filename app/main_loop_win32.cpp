#include "app/main_loop_win32.h"

#include <windows.h>

#include "app/app_win32.h"
#include "app/scoped_win32.h"
#include "keys/playing.h"

namespace {

constexpr LONG PollMilliseconds = 10;
// Windows 10 1803 and later; older headers lack the name, older systems refuse the flag.
constexpr DWORD HighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

// A timer that is due every poll period: a high-resolution one where Windows
// has it, so that the period is not stretched to the system's clock tick.
// Left empty where none can be had.
void startPollTimer(ScopedHandle& timer) {
    timer.reset(CreateWaitableTimerExW(nullptr, nullptr, HighResolutionTimer, TIMER_ALL_ACCESS));
    if (!timer) timer.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
    LARGE_INTEGER firstDue = {};
    firstDue.QuadPart = -10000LL * PollMilliseconds;  // relative, in 100-nanosecond units
    if (timer && !SetWaitableTimer(timer.get(), &firstDue, PollMilliseconds, nullptr, nullptr, FALSE))
        timer.reset(nullptr);
}

// Until a message comes, input included that arrived while the last ones
// were handled, or the poll is due.
void waitForWork(HANDLE pollTimer) {
    if (pollTimer) MsgWaitForMultipleObjectsEx(1, &pollTimer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    else MsgWaitForMultipleObjectsEx(0, nullptr, PollMilliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

int runMainLoop(HACCEL accelerators) {
    ScopedHandle pollTimer;
    startPollTimer(pollTimer);
    MSG message = {};
    for (;;) {
        pollFinishingKeys();
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            if (TranslateAcceleratorA(mainWindow, accelerators, &message)) continue;
            DispatchMessageA(&message);  // key messages are never translated into characters
        }
        waitForWork(pollTimer.get());
    }
}
