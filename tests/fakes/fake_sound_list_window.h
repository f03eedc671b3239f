// The sound list window as plain data: its entries in order and the selection.
#pragma once
#include <string>
#include <vector>

struct FakeSoundList {
    std::vector<std::string> entries;
    int selection = -1;
    int textQueries = 0;  // soundListText calls: each is a message to the list window
    void reset() { *this = FakeSoundList(); }
};

extern FakeSoundList fakeSoundList;
