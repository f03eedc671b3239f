#include "fakes/fake_input.h"

#include <stdexcept>

#include "base/input.h"

FakeInput fakeInput;

bool isAltDown() { return fakeInput.alt; }
bool isCtrlDown() { return fakeInput.ctrl; }
bool isLeftButtonDown() {
    if (fakeInput.onLeftButtonPoll) fakeInput.onLeftButtonPoll();
    if (fakeInput.leftButtonPolls <= 0) return false;
    --fakeInput.leftButtonPolls;
    return true;
}
void waitBeforeNextPoll() { ++fakeInput.pollWaits; }
int pointerScreenX() { return fakeInput.pointerX; }
int pointerScreenXAtPress() { return fakeInput.pressPointerX; }
uint32_t tickCount() {
    ++fakeInput.tickReads;
    if (fakeInput.tickReadLimit > 0 && fakeInput.tickReads > fakeInput.tickReadLimit)
        throw std::runtime_error("tick count read too often: the wait does not end");
    if (!fakeInput.tickScript.empty()) {
        uint32_t scripted = fakeInput.tickScript.front();
        fakeInput.tickScript.pop_front();
        return scripted;
    }
    uint32_t now = fakeInput.ticks;
    fakeInput.ticks += fakeInput.tickStep;
    return now;
}
