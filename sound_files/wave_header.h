// The header of the WAV files the program writes: 32-bit float samples, as
// WAVE_FORMAT_IEEE_FLOAT for one or two channels and as WAVE_FORMAT_EXTENSIBLE
// with the float sub-format for more, then a "fact" chunk with the frame count
// (every format but PCM has one) and the "data" chunk's header. For a given
// channel count the header has one size whatever the count of frames, so it
// is rewritten in place as the data grows.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t LargestWaveHeaderBytes = 80;

struct WaveHeader {
    uint8_t bytes[LargestWaveHeaderBytes] = {};
    size_t size = 0;
};

WaveHeader floatWaveHeader(uint16_t channels, uint32_t rate, uint32_t frames);
// The most frames such a file holds: its RIFF size is a 32-bit number.
uint32_t largestFloatWaveFrames(uint16_t channels);
