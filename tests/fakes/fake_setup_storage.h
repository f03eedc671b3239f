// Setup files held in memory.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct FakeSetupStorage {
    std::map<std::string, std::vector<uint8_t>> files;
    std::set<std::string> locked;  // cannot be opened at all (read-only, in use)
    bool writesFail = false;       // the disk fills while the new bytes are written
    void reset() { *this = FakeSetupStorage(); }
};

extern FakeSetupStorage fakeSetupStorage;
