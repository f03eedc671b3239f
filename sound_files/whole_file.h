// A sound file read whole into memory, for the readers that take its bytes.
#pragma once
#include <cstdint>
#include <vector>

#include "sound_files/wave_reader.h"

// Reads at most largestBytes, as far as a reader looks: a longer file is read
// that far. WaveErrorCannotOpen, WaveErrorFileCannotRead or WaveErrorNoMemory
// when it cannot be.
WaveResult readWholeFile(const char* path, uint64_t largestBytes, std::vector<uint8_t>& bytes);
