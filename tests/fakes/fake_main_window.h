// The main window's caption as the program last set it.
#pragma once
#include <string>

struct FakeMainWindow {
    std::string title = "Quillpad Beta A";
    void reset() { *this = FakeMainWindow(); }
};

extern FakeMainWindow fakeMainWindow;
