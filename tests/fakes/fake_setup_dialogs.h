// Scripted Open Setup and Save Setup dialogs.
#pragma once
#include <string>

#include "setup/setup_dialogs.h"

struct FakeSetupDialogs {
    FileChoice openChoice = FileChoice::Cancelled;
    std::string openPath;
    FileChoice saveChoice = FileChoice::Cancelled;
    std::string savePath;
    void reset() { *this = FakeSetupDialogs(); }
};

extern FakeSetupDialogs fakeSetupDialogs;
