// The decoding thread's word to the program's thread, counted.
#pragma once
#include <atomic>

extern std::atomic<int> soundsDecodedTold;
