// Scripted keyboard, mouse and clock state for the logic that polls them.
#pragma once
#include <cstdint>

struct FakeInput {
    bool alt = false;
    bool ctrl = false;
    int leftButtonPolls = 0;  // the left button reads down for this many more polls
    uint32_t ticks = 1000;    // advanced by tickStep at every read
    uint32_t tickStep = 1;
    int tickReads = 0;
};

extern FakeInput fakeInput;
