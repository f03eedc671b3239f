// The frames of a recording on their way from the render thread to the
// recording's writer thread: one thread writes, one reads, and neither ever
// waits for the other or takes a lock. The frames are 32-bit float samples of
// the output's channels; the ring is made once, before the recording starts,
// and holds a fixed number of frames. What does not fit when the writer falls
// behind is dropped and counted, so that the render thread goes on at once.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

class FrameRing {
public:
    // Room for `capacity` frames of `channels` samples, for an output of that
    // rate; made() is false when there was no memory for it.
    FrameRing(uint16_t channels, uint32_t rate, uint32_t capacity);
    bool made() const { return samples != nullptr; }

    const uint16_t channels;
    const uint32_t rate;
    const uint32_t capacity;

    // The writing thread's: as many of the frames as fit, the rest dropped and
    // counted. Nothing after close().
    void write(const float* frames, uint32_t count);
    // The writing thread's: no frame follows; the reader takes what is there.
    void close() { closed.store(true, std::memory_order_release); }

    // The reading thread's: up to `count` frames, oldest first; how many.
    uint32_t read(float* frames, uint32_t count);
    bool isClosed() const { return closed.load(std::memory_order_acquire); }
    // Frames dropped so far because the ring was full.
    uint64_t droppedFrames() const { return dropped.load(std::memory_order_relaxed); }

private:
    std::unique_ptr<float[]> samples;
    // Frames written and read since the start; each is stored by its own thread.
    std::atomic<uint64_t> written{0};
    std::atomic<uint64_t> taken{0};
    std::atomic<uint64_t> dropped{0};
    std::atomic<bool> closed{false};
};
