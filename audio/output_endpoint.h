// An output endpoint as the system lists it.
#pragma once
#include <string>

struct OutputEndpoint {
    std::string id;    // what opens it again, also after a restart
    std::string name;  // what the user knows it by
};
