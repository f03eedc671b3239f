// A recording's frames handed from the render thread to the writer: every one
// once and in order, and those that find the ring full counted.
#include "audio/frame_ring.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "support/program_test.h"
#include "support/recorded_frames.h"

using recordtest::numberedFrames;

namespace {

class HandingFramesToTheWriter : public ProgramTest {
protected:
    // Reads until the writer is done and the ring empty, counting frames out
    // of order and frames whose samples belong to different frames.
    struct Reader {
        uint32_t read = 0, outOfOrder = 0, torn = 0;
        float last = -1.0f;
    };
    static void readAll(FrameRing& ring, const std::atomic<bool>& written, std::atomic<uint32_t>& taken,
                        Reader& reader) {
        std::vector<float> out(2 * 333);
        for (;;) {
            bool finished = written.load();
            uint32_t count = ring.read(out.data(), 1 + reader.read % 333);
            for (uint32_t k = 0; k < count; ++k) {
                if (out[2 * k] != -out[2 * k + 1]) ++reader.torn;
                if (out[2 * k] <= reader.last) ++reader.outOfOrder;
                reader.last = out[2 * k];
            }
            reader.read += count;
            taken = reader.read;
            if (count == 0 && finished) return;
        }
    }
};

TEST_F(HandingFramesToTheWriter, NoFrameIsLostOrRepeatedWhileTheRingHasRoom) {
    constexpr uint32_t Total = 300000;
    FrameRing ring(2, 48000, 1000);  // wraps round three hundred times
    ASSERT_TRUE(ring.made());
    std::atomic<bool> written{false};
    std::atomic<uint32_t> taken{0};
    Reader reader;
    std::thread writer([&] {
        for (uint32_t n = 0; n < Total;) {
            uint32_t count = std::min<uint32_t>(1 + n % 97, Total - n);
            // Only as much as there is room for: the reader keeps up.
            while (n + count - taken.load() > ring.capacity) std::this_thread::yield();
            ring.write(numberedFrames(n, count).data(), count);
            n += count;
        }
        written = true;
    });
    readAll(ring, written, taken, reader);
    writer.join();
    EXPECT_EQ(reader.read, Total);
    EXPECT_EQ(reader.last, static_cast<float>(Total - 1));
    EXPECT_EQ(reader.outOfOrder, 0u);
    EXPECT_EQ(reader.torn, 0u);
    EXPECT_EQ(ring.droppedFrames(), 0u);
}

TEST_F(HandingFramesToTheWriter, FramesThatFindTheRingFullAreDroppedAndCountedAndTheRestGoOnInOrder) {
    constexpr uint32_t Total = 300000;
    FrameRing ring(2, 48000, 500);
    std::atomic<bool> written{false};
    std::atomic<uint32_t> sent{0}, taken{0};
    Reader reader;
    // The writer never waits: the ring overflows whenever the reader is slow,
    // and at first the reader is not there at all.
    std::thread writer([&] {
        for (uint32_t n = 0; n < Total; n += 100) {
            ring.write(numberedFrames(n, 100).data(), 100);
            sent = n + 100;
        }
        written = true;
    });
    while (sent.load() < 2000) std::this_thread::yield();
    readAll(ring, written, taken, reader);
    writer.join();
    EXPECT_GE(ring.droppedFrames(), 1500u);
    EXPECT_EQ(reader.read + ring.droppedFrames(), Total);
    EXPECT_EQ(reader.outOfOrder, 0u);
    EXPECT_EQ(reader.torn, 0u);

    // Once closed, nothing more is taken in, nor counted as lost.
    uint64_t dropped = ring.droppedFrames();
    ring.close();
    ring.write(numberedFrames(0, 600).data(), 600);
    std::vector<float> out(2);
    EXPECT_EQ(ring.read(out.data(), 1), 0u);
    EXPECT_EQ(ring.droppedFrames(), dropped);
    EXPECT_TRUE(ring.isClosed());
}

}  // namespace
