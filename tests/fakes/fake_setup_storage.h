// Setup files held in memory, and scripted Open and Save As dialogs.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "setup/setup_dialogs.h"
#include "setup/setup_storage.h"

struct FakeSetupStorage {
    std::map<std::string, std::vector<uint8_t>> files;
    std::set<std::string> locked;  // cannot be opened at all (read-only, in use)
    bool writesFail = false;       // the disk fills while the new bytes are written
    FileChoice openChoice = FileChoice::Cancelled;
    std::string openPath;
    FileChoice saveChoice = FileChoice::Cancelled;
    std::string savePath;
    void reset() { *this = FakeSetupStorage(); }
};

extern FakeSetupStorage fakeSetupStorage;
