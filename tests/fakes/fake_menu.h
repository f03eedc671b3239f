// The menu items' states and texts as the program last set them.
#pragma once
#include <map>
#include <string>

struct FakeMenu {
    std::map<int, bool> enabled;  // only items the program has set
    std::map<int, std::string> texts;
    std::map<int, bool> checked;
    void reset() { *this = FakeMenu(); }
};

extern FakeMenu fakeMenu;
