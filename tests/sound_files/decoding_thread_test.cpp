// The decoding thread: jobs decoded in the order asked, each told once with
// its ticket, and forgotten jobs never reaching the program.
#include "sound_files/decoding_thread.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_decoding_events.h"
#include "support/program_test.h"

namespace {

// Holds the thread inside the first decode until opened, so that later jobs
// are still queued when the test acts.
std::atomic<bool> gateOpen{true};
std::atomic<int> decodesBegun{0};

WaveResult gatedDecoder(const char* path, DecodedSound& sound) {
    ++decodesBegun;
    while (!gateOpen) std::this_thread::yield();
    if (std::string(path) == "broken") return WaveErrorCorrupt;
    sound.samples.assign(path, path + std::string(path).size());
    return 0;
}

void waitUntil(const std::atomic<int>& counter, int value, const char* what) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (counter < value) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "waited for " << what;
        std::this_thread::yield();
    }
}

class DecodingThread : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        gateOpen = true;
        decodesBegun = 0;
        setSoundDecoder(gatedDecoder);
    }
};

TEST_F(DecodingThread, JobsFinishInTheOrderAskedEachToldOnceWithItsTicketAndResult) {
    askToDecode(7, "a");
    askToDecode(9, "broken");
    askToDecode(8, "c");
    waitUntil(soundsDecodedTold, 3, "three jobs told");
    std::vector<uint32_t> tickets;
    DecodedJob job;
    while (takeDecodedSound(job)) {
        tickets.push_back(job.ticket);
        if (job.ticket == 9) {
            EXPECT_EQ(job.result, WaveErrorCorrupt);
            EXPECT_TRUE(job.sound.samples.empty());
        } else {
            EXPECT_EQ(job.result, 0u);
            EXPECT_EQ(job.sound.samples.size(), 1u);
        }
    }
    EXPECT_EQ(tickets, (std::vector<uint32_t>{7, 9, 8}));
    EXPECT_EQ(soundsDecodedTold, 3);
}

TEST_F(DecodingThread, ForgottenJobsAreNeverDecodedWhileTheOneUnderWayStillFinishes) {
    gateOpen = false;
    askToDecode(1, "under way");
    waitUntil(decodesBegun, 1, "the first decode to begin");
    askToDecode(2, "queued");
    forgetDecodingJobs();
    gateOpen = true;
    waitUntil(soundsDecodedTold, 1, "the job under way told");
    DecodedJob job;
    ASSERT_TRUE(takeDecodedSound(job));
    EXPECT_EQ(job.ticket, 1u);  // the program drops it by its ticket
    EXPECT_FALSE(takeDecodedSound(job));
    stopDecodingThread();
    EXPECT_EQ(decodesBegun, 1);
}

}  // namespace
