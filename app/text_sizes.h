// The fixed sizes of the program's text buffers, in bytes with the terminator.
#pragma once
#include <cstddef>

// Paths and names: 259 characters and a terminator.
constexpr int PathCapacity = 260;
// Window titles and message texts: 255 characters and a terminator.
constexpr size_t ShownTextCapacity = 256;
