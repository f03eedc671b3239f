// One ordered record of every call the fakes receive, so a test can assert
// the exact sequence of voice, panel and dialog calls.
#pragma once
#include <string>
#include <vector>

extern std::vector<std::string> callLog;

// The entries that start with the given prefix, in order.
std::vector<std::string> callsStartingWith(const std::string& prefix);
