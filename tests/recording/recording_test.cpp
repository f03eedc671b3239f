// The recording's writer: every frame into the file, the file a valid WAV
// file while it grows, and how it ends when the file or the output fails it.
#include "recording/recording.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "fakes/fake_recording_file.h"
#include "recording/recording_file.h"
#include "support/program_test.h"
#include "support/recorded_frames.h"

using namespace recordtest;

namespace {

class RecordingToAFile : public ProgramTest {
protected:
    std::unique_ptr<Recording> start(uint32_t largestFrames = 0) {
        auto recording = Recording::start(createRecordingFile("take.wav"), 2, 48000, largestFrames);
        EXPECT_NE(recording, nullptr);
        return recording;
    }
    // The render thread's part.
    static void play(Recording& recording, const std::vector<float>& samples) {
        recording.ring.write(samples.data(), static_cast<uint32_t>(samples.size() / 2));
    }
    static bool fileHolds(const std::vector<float>& samples) {
        return fakeRecordingFile.bytes() == waveFileOf(2, 48000, samples);
    }
};

TEST_F(RecordingToAFile, TheFileIsAValidWaveFileOfEveryFrameWhileItGrowsAndAtTheEnd) {
    auto recording = start();
    EXPECT_TRUE(fileHolds({})) << "the header of an empty recording comes first";
    std::vector<float> played = numberedFrames(0, 30000);
    play(*recording, played);
    // Without a stop: the header is rewritten as the file grows.
    EXPECT_TRUE(eventually([&] { return fileHolds(played); }));
    std::vector<float> more = numberedFrames(30000, 5000);
    play(*recording, more);
    played.insert(played.end(), more.begin(), more.end());
    EXPECT_EQ(recording->finish(), RecordingEnd::Stopped);
    EXPECT_TRUE(fileHolds(played)) << "every frame written at the stop";
    EXPECT_EQ(fakeRecordingFile.endedTold, 0) << "a recording the program stops is no news";
}

TEST_F(RecordingToAFile, ADiskSlowerThanTheOutputStillHasTheHeaderRewrittenWhileItFallsBehind) {
    auto recording = start();
    // While the disk writes each piece the output plays the next, so the ring
    // is never empty, until the header is rewritten or long after it was due.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    std::atomic<bool> limitReached{false};
    std::vector<float> played = numberedFrames(0, 256);  // the writer's from the first play on
    fakeRecordingFile.afterAppend = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (fakeRecordingFile.headersWritten > 1 || limitReached) return;
        if (std::chrono::steady_clock::now() > limit) {
            limitReached = true;
            return;
        }
        std::vector<float> more = numberedFrames(static_cast<uint32_t>(played.size() / 2), 256);
        play(*recording, more);
        played.insert(played.end(), more.begin(), more.end());
    };
    play(*recording, played);
    ASSERT_TRUE(eventually([&] { return fakeRecordingFile.headersWritten > 1 || limitReached; }));
    EXPECT_EQ(recording->finish(), RecordingEnd::Stopped);
    EXPECT_FALSE(limitReached) << "the header waited for the backlog to end";
    EXPECT_TRUE(fileHolds(played)) << "every frame in order all the same";
}

TEST_F(RecordingToAFile, ADiskThatFailsEndsItByItselfWithTheFileValidAsFarAsItWent) {
    auto recording = start();
    std::vector<float> kept = numberedFrames(0, 4800);
    play(*recording, kept);
    ASSERT_TRUE(eventually([&] { return fileHolds(kept); }));
    fakeRecordingFile.appendsFail = true;
    play(*recording, numberedFrames(4800, 4800));
    ASSERT_TRUE(eventually([&] { return fakeRecordingFile.endedTold == 1; }));
    EXPECT_TRUE(recording->writerEnded());
    EXPECT_EQ(recording->finish(), RecordingEnd::WriteFailed);
    EXPECT_TRUE(fileHolds(kept));
}

TEST_F(RecordingToAFile, AFolderTakenAwayEndsItAsAFailedWrite) {
    auto recording = start();
    std::vector<float> kept = numberedFrames(0, 4800);
    play(*recording, kept);
    ASSERT_TRUE(eventually([&] { return fileHolds(kept); }));
    fakeRecordingFile.gone = true;
    ASSERT_TRUE(eventually([&] { return fakeRecordingFile.endedTold == 1; }));
    EXPECT_EQ(recording->finish(), RecordingEnd::WriteFailed);
    EXPECT_TRUE(fileHolds(kept));
}

TEST_F(RecordingToAFile, AnOutputOfAnotherLayoutEndsItWithEveryFrameBeforeKept) {
    auto recording = start();
    std::vector<float> played = numberedFrames(0, 9000);
    play(*recording, played);
    recording->ring.close();  // as the mixer does at the first mix of another layout
    ASSERT_TRUE(eventually([&] { return fakeRecordingFile.endedTold == 1; }));
    EXPECT_EQ(recording->finish(), RecordingEnd::OutputChanged);
    EXPECT_TRUE(fileHolds(played));
}

TEST_F(RecordingToAFile, AFileAsLargeAsAWaveFileCanBeEndsItWithTheHeaderRight) {
    auto recording = start(1000);
    std::vector<float> played = numberedFrames(0, 1500);
    play(*recording, played);
    ASSERT_TRUE(eventually([&] { return fakeRecordingFile.endedTold == 1; }));
    EXPECT_EQ(recording->finish(), RecordingEnd::FileFull);
    EXPECT_TRUE(fileHolds(std::vector<float>(played.begin(), played.begin() + 2 * 1000)));
}

}  // namespace
