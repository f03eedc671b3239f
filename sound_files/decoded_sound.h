// A sound read whole from a file of any kind: what a WAV file of the same
// samples holds in its "fmt " record and its "data" chunk.
#pragma once
#include <cstdint>
#include <vector>

#include "sound_files/wave_format.h"

struct DecodedSound {
    WaveFormatRecord format{};
    std::vector<uint8_t> samples;
};
