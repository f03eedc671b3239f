#include "fakes/call_log.h"

std::vector<std::string> callLog;

std::vector<std::string> callsStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& call : callLog)
        if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
    return found;
}
