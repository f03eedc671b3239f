// The registry's classes root as a map of keys to default values, the
// program's own settings and its path.
#pragma once
#include <map>
#include <set>
#include <string>

struct FakeRegistry {
    std::string programPath = "C:\\Program Files\\Keys\\quillpad.exe";
    bool programPathKnown = true;
    bool readOnly = false;              // no key can be created or opened for writing
    std::set<std::string> refusedKeys;  // these alone cannot be created or opened
    std::set<std::string> keys;
    std::map<std::string, std::string> values;    // key -> default value
    std::map<std::string, std::string> settings;  // HKEY_CURRENT_USER\Software\Quillpad
    void reset() { *this = FakeRegistry(); }
};

extern FakeRegistry fakeRegistry;
