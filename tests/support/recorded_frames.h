// Frames for a recording and the file they should make, and waiting for the
// recording's writer thread, which works at its own pace.
#pragma once
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "sound_files/wave_header.h"

namespace recordtest {

// Frames whose samples all tell the frame's number, the first channel's
// positive and the others negative, so that a frame lost, repeated or torn
// shows.
inline std::vector<float> numberedFrames(uint32_t first, uint32_t count, uint16_t channels = 2) {
    std::vector<float> samples;
    for (uint32_t n = first; n < first + count; ++n)
        for (uint16_t c = 0; c < channels; ++c) samples.push_back(c == 0 ? static_cast<float>(n) : -1.0f * n);
    return samples;
}

// A WAV file holding exactly these samples.
inline std::vector<uint8_t> waveFileOf(uint16_t channels, uint32_t rate, const std::vector<float>& samples) {
    WaveHeader header = floatWaveHeader(channels, rate, static_cast<uint32_t>(samples.size() / channels));
    std::vector<uint8_t> file(header.bytes, header.bytes + header.size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(samples.data());
    file.insert(file.end(), bytes, bytes + samples.size() * sizeof(float));
    return file;
}

// True as soon as the condition holds; false when it still does not after
// five seconds, which no writer takes on any machine.
template <typename Condition>
bool eventually(Condition condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace recordtest
