// The menu items' states and texts as the program last set them.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "base/menu.h"

struct FakeMenu {
    std::map<int, bool> enabled;  // only items the program has set
    std::map<int, std::string> texts;
    std::map<int, bool> checked;
    // The submenu lists by their first command: items and whether the submenu is enabled.
    std::map<int, std::vector<MenuListItem>> lists;
    std::map<int, bool> listEnabled;
    void reset() { *this = FakeMenu(); }
};

extern FakeMenu fakeMenu;
