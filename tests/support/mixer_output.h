// Sounds for the low-latency mixer and what it writes, read back: the tests
// are the render thread, and each render() call moves the mixer's clock on.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "audio/mixed_voice.h"
#include "audio/mixer.h"
#include "sound_files/sample_format.h"
#include "sound_files/wave_format.h"

namespace mixertest {

constexpr double Pi = 3.14159265358979323846;

// A format record with its extra bytes; extensibleTag makes it a
// WAVE_FORMAT_EXTENSIBLE record of that sub-format.
inline std::vector<uint8_t> formatRecord(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                         uint16_t extensibleTag = 0, uint16_t validBits = 0) {
    std::vector<uint8_t> bytes(extensibleTag ? 40 : 18);
    WaveFormatRecord record = {};
    record.formatTag = extensibleTag ? WaveFormatExtensible : tag;
    record.channels = channels;
    record.samplesPerSec = rate;
    record.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    record.avgBytesPerSec = rate * record.blockAlign;
    record.bitsPerSample = bits;
    record.extraSize = extensibleTag ? 22 : 0;
    std::memcpy(bytes.data(), &record, sizeof record);
    if (extensibleTag) {
        const uint8_t extra[22] = {static_cast<uint8_t>(validBits ? validBits : bits),
                                   static_cast<uint8_t>((validBits ? validBits : bits) >> 8),
                                   3,
                                   0,
                                   0,
                                   0,  // front left and right
                                   static_cast<uint8_t>(extensibleTag),
                                   static_cast<uint8_t>(extensibleTag >> 8),
                                   0x00,
                                   0x00,
                                   0x00,
                                   0x00,
                                   0x10,
                                   0x00,
                                   0x80,
                                   0x00,
                                   0x00,
                                   0xAA,
                                   0x00,
                                   0x38,
                                   0x9B,
                                   0x71};
        std::memcpy(bytes.data() + 18, extra, sizeof extra);
    }
    return bytes;
}

inline const WaveFormatRecord& asRecord(const std::vector<uint8_t>& bytes) {
    return *reinterpret_cast<const WaveFormatRecord*>(bytes.data());
}

// The test output: 32-bit float stereo, read back exactly as mixed.
inline SampleLayout floatStereo(uint32_t rate = 44100) { return {SampleEncoding::Float32, 2, 8, rate}; }

// A sound buffer of that format, bufferBytes long (or as long as `bytes`),
// holding `bytes` from its start.
inline Voice* makeSoundOfBytes(Mixer& mixer, const std::vector<uint8_t>& format, const std::vector<uint8_t>& bytes,
                               uint32_t bufferBytes = 0) {
    SoundBufferDesc desc;
    desc.bufferBytes = bufferBytes ? bufferBytes : static_cast<uint32_t>(bytes.size());
    desc.format = &asRecord(format);
    Voice* voice = nullptr;
    EXPECT_EQ(mixer.CreateSoundBuffer(desc, &voice), DS_OK);
    if (!voice) return nullptr;
    void* area = nullptr;
    uint32_t areaBytes = 0;
    EXPECT_EQ(voice->Lock(0, 0, &area, &areaBytes, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(areaBytes, desc.bufferBytes);
    if (!bytes.empty()) std::memcpy(area, bytes.data(), bytes.size());
    voice->Unlock(area, areaBytes);
    return voice;
}

// A 16-bit PCM sound of the given samples (frames of `channels` samples).
inline Voice* makeSound(Mixer& mixer, const std::vector<int16_t>& samples, uint16_t channels = 1,
                        uint32_t rate = 44100) {
    std::vector<uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return makeSoundOfBytes(mixer, formatRecord(WaveFormatPcm, channels, rate, 16), bytes);
}

// The same as the sound bank makes it: one byte past its last frame.
inline Voice* makeBankSound(Mixer& mixer, const std::vector<int16_t>& samples, uint32_t rate = 44100) {
    std::vector<uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return makeSoundOfBytes(mixer, formatRecord(WaveFormatPcm, 1, rate, 16), bytes,
                            static_cast<uint32_t>(bytes.size()) + 1);
}

// What GetStatus reports of a voice.
inline uint32_t statusOf(Voice* voice) {
    uint32_t status = 0xFFFF;
    EXPECT_EQ(voice->GetStatus(&status), DS_OK);
    return status;
}

// Frames 30 * (k + 1), as 16-bit samples and as the mixer's floats.
inline std::vector<int16_t> countingSamples(int frames) {
    std::vector<int16_t> samples;
    for (int k = 0; k < frames; ++k) samples.push_back(static_cast<int16_t>(30 * (k + 1)));
    return samples;
}
inline float countingValue(int frame) { return static_cast<float>(30 * (frame + 1)) / 32768.0f; }

// A mono sine of `cycles` whole cycles in `frames` frames, so that it loops
// without a seam.
inline std::vector<int16_t> sineSamples(uint32_t frames, double cycles, double amplitude = 0.5) {
    std::vector<int16_t> samples(frames);
    for (uint32_t n = 0; n < frames; ++n)
        samples[n] = static_cast<int16_t>(std::lround(amplitude * 32767.0 * std::sin(2.0 * Pi * cycles * n / frames)));
    return samples;
}

struct Stereo {
    std::vector<float> left, right;
    size_t size() const { return left.size(); }
};

// The next `frames` frames of a float stereo output.
inline Stereo renderFrames(Mixer& mixer, uint32_t frames) {
    std::vector<float> interleaved(2 * static_cast<size_t>(frames));
    mixer.render(frames, interleaved.data());
    Stereo out;
    for (uint32_t n = 0; n < frames; ++n) {
        out.left.push_back(interleaved[2 * n]);
        out.right.push_back(interleaved[2 * n + 1]);
    }
    return out;
}

// Frames up to the last one that is not silent, plus one.
inline size_t soundingLength(const std::vector<float>& samples) {
    size_t length = 0;
    for (size_t n = 0; n < samples.size(); ++n)
        if (samples[n] != 0.0f) length = n + 1;
    return length;
}

// Frequency from rising zero crossings, interpolated between samples.
inline double frequencyOf(const std::vector<float>& samples, size_t first, size_t end, uint32_t rate) {
    std::vector<double> crossings;
    for (size_t n = first + 1; n < end; ++n) {
        if (samples[n - 1] < 0.0f && samples[n] >= 0.0f)
            crossings.push_back(static_cast<double>(n - 1) + samples[n - 1] / (samples[n - 1] - samples[n]));
    }
    if (crossings.size() < 3) return 0.0;
    return static_cast<double>(crossings.size() - 1) * rate / (crossings.back() - crossings.front());
}

// How far below a tone of known frequency everything else in the samples
// lies, in dB: the tone is fitted and taken away, the rest is measured.
inline double spuriousBelowToneDb(const std::vector<float>& samples, double frequency, uint32_t rate) {
    double cosine = 0.0, sine = 0.0;
    const size_t count = samples.size();
    for (size_t n = 0; n < count; ++n) {
        double phase = 2.0 * Pi * frequency * n / rate;
        cosine += samples[n] * std::cos(phase);
        sine += samples[n] * std::sin(phase);
    }
    cosine *= 2.0 / count;
    sine *= 2.0 / count;
    double rest = 0.0;
    for (size_t n = 0; n < count; ++n) {
        double phase = 2.0 * Pi * frequency * n / rate;
        double left = samples[n] - cosine * std::cos(phase) - sine * std::sin(phase);
        rest += left * left;
    }
    double tonePower = (cosine * cosine + sine * sine) / 2.0;
    return 10.0 * std::log10(rest / count / tonePower);
}

}  // namespace mixertest
