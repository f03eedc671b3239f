// Scripted keyboard, mouse and clock state for the logic that polls them.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>

struct FakeInput {
    bool alt = false;
    bool ctrl = false;
    int leftButtonPolls = 0;  // the left button reads down for this many more polls
    int pollWaits = 0;        // waitBeforeNextPoll calls
    uint32_t ticks = 1000;    // advanced by tickStep at every read
    uint32_t tickStep = 1;
    int tickReads = 0;
    // Read front first before the steady count above takes over.
    std::deque<uint32_t> tickScript;
    // A wait that reads more often than this is taken to hang: the read throws.
    // 0 means no limit.
    int tickReadLimit = 0;
    int pointerX = 0;       // pointerScreenX
    int pressPointerX = 0;  // pointerScreenXAtPress
    // Called at every left-button poll, before it is answered, so a test can
    // look at the state while the button is held.
    std::function<void()> onLeftButtonPoll;
};

extern FakeInput fakeInput;
