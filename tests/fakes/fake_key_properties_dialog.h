// The Key Properties dialog answering from a script, logged as
// "dialog key properties <key name> <values shown>".
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FakeKeyPropertiesDialog {
    // What OK gives back; none: Cancel.
    std::optional<std::vector<int32_t>> answer;
    bool clearsSound = false;  // Clear is pressed before OK
    std::string soundShown;
    void reset() { *this = FakeKeyPropertiesDialog(); }
};

extern FakeKeyPropertiesDialog fakeKeyPropertiesDialog;
