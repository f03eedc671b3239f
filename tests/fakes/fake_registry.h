// The registry's two stores of file types as maps of keys to default values,
// the program's own settings and its path.
#pragma once
#include <map>
#include <set>
#include <string>

struct FakeRegistry {
    std::string programPath = "C:\\Program Files\\Keys\\quillpad.exe";
    bool programPathKnown = true;
    bool readOnly = false;                      // no key of either store can be created or opened for writing
    bool allUsersReadOnly = false;              // as for a standard user: the machine's store alone refuses
    std::set<std::string> refusedKeys;          // these alone cannot be created or opened, in either store
    std::set<std::string> keys;                 // the machine's store, for every user
    std::map<std::string, std::string> values;  // key -> default value
    std::set<std::string> userKeys;             // the user's own store
    std::map<std::string, std::string> userValues;
    std::map<std::string, std::string> settings;  // HKEY_CURRENT_USER\Software\Quillpad
    void reset() { *this = FakeRegistry(); }
};

extern FakeRegistry fakeRegistry;
