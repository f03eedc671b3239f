// Message dialogs that log their text and answer from a script.
#pragma once
#include <deque>

struct FakeDialogs {
    std::deque<int> answers;  // consumed front first; OK (1) when empty
    void reset() { answers.clear(); }
};

extern FakeDialogs fakeDialogs;
