// The sample formats the mixer reads and writes: a sound's own format, as its
// WAV file gives it, and the output stream's format.
//
// Sounds: 8-bit unsigned, 16, 24 and 32-bit signed PCM and 32-bit float, mono
// or stereo, plain or WAVE_FORMAT_EXTENSIBLE, at 100 to 200,000 frames a
// second: what a DirectSound buffer takes. Outputs: 16, 24 and 32-bit PCM or
// 32-bit float with any number of channels.
#pragma once
#include <cstdint>

struct WaveFormatRecord;

enum class SampleEncoding : uint8_t { Unsigned8, Signed16, Signed24, Signed32, Float32 };

struct SampleLayout {
    SampleEncoding encoding = SampleEncoding::Signed16;
    uint16_t channels = 0;
    uint16_t blockAlign = 0;  // bytes of one frame, every channel's sample
    uint32_t rate = 0;
};

// The rates a DirectSound buffer plays at (DSBFREQUENCY_MIN and _MAX).
constexpr uint32_t LowestRate = 100;
constexpr uint32_t HighestRate = 200000;

constexpr uint16_t WaveFormatFloat = 3;
constexpr uint16_t WaveFormatExtensible = 0xFFFE;

// False for a record no DirectSound buffer would take; the record is read
// with its extra bytes, as many as it announces.
bool soundLayout(const WaveFormatRecord& format, SampleLayout& layout);
// False for an output format the mixer cannot write.
bool outputLayout(const WaveFormatRecord& format, SampleLayout& layout);

// One sample as -1 .. 1 (16-bit: -32768 reads as -1). Float samples outside
// that range are clipped and those that are no number read as silence, so a
// hostile file cannot poison the mix.
float readSample(SampleEncoding encoding, const uint8_t* at);
// A sample as writeSample takes it: no number is silence, the rest is clipped
// to full scale.
float clippedSample(float value);
// One sample, clipped to full scale.
void writeSample(SampleEncoding encoding, float value, uint8_t* at);
