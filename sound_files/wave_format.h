// The format record of a WAV file, laid out as the Windows WAVEFORMATEX:
// 18 bytes, then extraSize bytes of format-specific data.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct WaveFormatRecord {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};
#pragma pack(pop)

static_assert(sizeof(WaveFormatRecord) == 18, "WaveFormatRecord must match WAVEFORMATEX");

constexpr uint16_t WaveFormatPcm = 1;
