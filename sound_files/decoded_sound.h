// A sound decoded from any file, as a WAV of the same samples would hold it:
// its "fmt " record and its "data" bytes, and the result codes the decoders
// share beside the WAV reader's.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound_files/wave_format.h"
#include "sound_files/wave_reader.h"

struct DecodedSound {
    WaveFormatRecord format{};     // PCM or IEEE float, extraSize 0
    std::vector<uint8_t> samples;  // as a WAV "data" chunk holds them
};

// This system has no decoder for the file's format (Media Foundation is not
// installed, as on Windows N editions): the same for every file of the format.
constexpr WaveResult DecoderErrorMissing = 0xE200;
// The system's decoder would not read this file: it is damaged, or of a kind
// this system cannot decode.
constexpr WaveResult DecoderErrorRefused = 0xE201;
// More samples than the largest sound buffer holds.
constexpr WaveResult DecoderErrorTooLong = 0xE202;
// A name of no sound kind: decodeSoundFile has no reader for it.
constexpr WaveResult DecoderErrorNotHandled = 0xE203;

// The most sample bytes a decoded sound holds: the largest buffer a sound
// device makes (DSBSIZE_MAX) less the byte the sound bank adds.
constexpr size_t LargestDecodedBytes = 0x0FFFFFFE;
