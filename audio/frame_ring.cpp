#include "audio/frame_ring.h"

#include <algorithm>
#include <cstring>
#include <new>

FrameRing::FrameRing(uint16_t channels, uint32_t rate, uint32_t capacity)
    : channels(channels),
      rate(rate),
      capacity(capacity),
      samples(new (std::nothrow) float[static_cast<size_t>(capacity) * channels]) {}

void FrameRing::write(const float* frames, uint32_t count) {
    if (isClosed()) return;
    uint64_t end = written.load(std::memory_order_relaxed);
    // Frames the reader has taken are free again once it says so.
    uint64_t room = capacity - (end - taken.load(std::memory_order_acquire));
    uint32_t fitting = static_cast<uint32_t>(std::min<uint64_t>(count, room));
    uint32_t at = static_cast<uint32_t>(end % capacity);
    uint32_t first = std::min(fitting, capacity - at);
    std::memcpy(&samples[static_cast<size_t>(at) * channels], frames, sizeof(float) * first * channels);
    std::memcpy(&samples[0], frames + static_cast<size_t>(first) * channels,
                sizeof(float) * (fitting - first) * channels);
    written.store(end + fitting, std::memory_order_release);
    if (fitting < count) dropped.store(droppedFrames() + (count - fitting), std::memory_order_relaxed);
}

uint32_t FrameRing::read(float* frames, uint32_t count) {
    uint64_t start = taken.load(std::memory_order_relaxed);
    uint64_t waiting = written.load(std::memory_order_acquire) - start;
    uint32_t reading = static_cast<uint32_t>(std::min<uint64_t>(count, waiting));
    uint32_t at = static_cast<uint32_t>(start % capacity);
    uint32_t first = std::min(reading, capacity - at);
    std::memcpy(frames, &samples[static_cast<size_t>(at) * channels], sizeof(float) * first * channels);
    std::memcpy(frames + static_cast<size_t>(first) * channels, &samples[0],
                sizeof(float) * (reading - first) * channels);
    // The frames are copied out before the writer may use their room again.
    taken.store(start + reading, std::memory_order_release);
    return reading;
}
