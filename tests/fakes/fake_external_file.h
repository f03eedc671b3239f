// Shell shortcuts and long path forms as plain maps.
#pragma once
#include <map>
#include <set>
#include <string>

struct FakeShell {
    std::map<std::string, std::string> shortcuts;  // shortcut -> target (short form); others do not load
    std::set<std::string> targetPathFails;         // shortcuts that resolve but whose target path cannot be read
    std::map<std::string, std::string> longPaths;  // path -> long form; others cannot be parsed
    std::set<std::string> unreadable;              // parsed, but with no file path that fits
    void reset() { *this = FakeShell(); }
};

extern FakeShell fakeShell;
