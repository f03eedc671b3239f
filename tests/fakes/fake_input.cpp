#include "fakes/fake_input.h"

#include "app/input.h"

FakeInput fakeInput;

bool isAltDown() { return fakeInput.alt; }
bool isCtrlDown() { return fakeInput.ctrl; }
bool isLeftButtonDown() {
    if (fakeInput.leftButtonPolls <= 0) return false;
    --fakeInput.leftButtonPolls;
    return true;
}
uint32_t tickCount() {
    ++fakeInput.tickReads;
    uint32_t now = fakeInput.ticks;
    fakeInput.ticks += fakeInput.tickStep;
    return now;
}
