#include "shell/main_loop_win32.h"

#include <windows.h>

#include "base/app_handles_win32.h"
#include "base/scoped_win32.h"
#include "base/short_wait_win32.h"
#include "keys/playing.h"
#include "midi/midi_input.h"
#include "panel/panel_redraw.h"

namespace {

constexpr LONG PollMilliseconds = 10;
// Short enough not to be seen, long enough for the key sent with an F-key.
constexpr DWORD BankLookDelayMilliseconds = 15;

// Until a message comes (input too that arrived while the last ones were
// handled) or, while a key plays to its end, the next poll is due. With no key
// to poll there is nothing to wake for but messages.
void waitForWork(HANDLE pollTimer) {
    if (!anyKeyFinishing()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        return;
    }
    LARGE_INTEGER due = {};
    due.QuadPart = -10000LL * PollMilliseconds;  // relative, in 100-nanosecond units
    if (pollTimer && SetWaitableTimer(pollTimer, &due, 0, nullptr, nullptr, FALSE))
        MsgWaitForMultipleObjectsEx(1, &pollTimer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    else MsgWaitForMultipleObjectsEx(0, nullptr, PollMilliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

int runMainLoop(HACCEL accelerators) {
    ScopedHandle pollTimer(createShortWaitTimer());
    MSG message = {};
    bool lookedForInput = false;
    for (;;) {
        pollFinishingKeys();
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            if (TranslateAcceleratorA(mainWindow, accelerators, &message)) continue;
            DispatchMessageA(&message);  // key messages are never translated into characters
        }
        recoverLostMidiMessages();
        if (bankLookPending()) {
            // A press that comes with a bank switch (F2 and a key in one
            // gesture, a program change and its first note) goes before the
            // 47 labels: they are drawn once no input has come for a moment.
            if (!lookedForInput && MsgWaitForMultipleObjectsEx(0, nullptr, BankLookDelayMilliseconds, QS_ALLINPUT,
                                                               MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
                lookedForInput = true;
                continue;
            }
            lookedForInput = false;
            drawBankLook();
            continue;
        }
        waitForWork(pollTimer.get());
    }
}
