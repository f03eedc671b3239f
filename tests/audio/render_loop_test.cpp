// The render thread's loop against a scripted stream: the queue it keeps, when
// a stream counts as lost, and the voices playing out unheard after a loss.
#include "audio/render_loop.h"

#include <atomic>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "audio/frame_ring.h"
#include "audio/mixer.h"
#include "fakes/fake_input.h"
#include "keys/key_bank.h"
#include "keys/playing.h"
#include "support/mixer_output.h"
#include "support/program_test.h"

using namespace mixertest;

namespace {

// A stream whose answers come from a script, one period a step; it ends the
// loop when the script runs out.
class ScriptedStream : public RenderStream {
public:
    struct Period {
        uint32_t queued = 0;
        StreamCall queryResult = StreamCall::Done;
        StreamCall writeResult = StreamCall::Done;
        bool asked = true;
    };
    ScriptedStream(std::deque<Period> periods, std::atomic<bool>& ending)
        : periods(std::move(periods)), ending(ending) {}

    bool waitForPeriod(uint32_t milliseconds) override {
        waits.push_back(milliseconds);
        if (clockEnd) {
            // Time passes as the wait asks, and as long again as the system oversleeps.
            clock += milliseconds * 1000ull + oversleep;
            if (clock >= clockEnd) ending = true;
            return false;
        }
        if (milliseconds == WaitForever) {
            if (!whileAsleep) ending = true;  // nobody would ever wake it
            else whileAsleep();
            whileAsleep = nullptr;
            return true;
        }
        if (periods.empty()) {
            ending = true;
            return false;
        }
        current = periods.front();
        periods.pop_front();
        return current.asked;
    }
    StreamCall queuedFrames(uint32_t& frames) override {
        frames = current.queued;
        return current.queryResult;
    }
    StreamCall write(Mixer& mixer, uint32_t frames) override {
        written.push_back(frames);
        std::vector<float> out(2 * frames);
        mixer.render(frames, out.data());
        outputs.push_back(out);
        return current.writeResult;
    }
    StreamCall pause() override {
        calls.push_back("pause");
        return StreamCall::Done;
    }
    StreamCall resume(Mixer& mixer, uint32_t frames) override {
        calls.push_back("resume");
        write(mixer, frames);
        return StreamCall::Done;
    }
    StreamCall start(uint32_t frames) override {
        calls.push_back("start " + std::to_string(frames));
        return startResult;
    }
    void stop() override { calls.push_back("stop"); }
    void tellLost() override { calls.push_back("lost"); }
    uint64_t microseconds() override { return clock; }

    std::deque<Period> periods;
    std::atomic<bool>& ending;
    Period current;
    std::vector<uint32_t> waits;
    std::vector<uint32_t> written;
    std::vector<std::vector<float>> outputs;
    std::vector<std::string> calls;
    StreamCall startResult = StreamCall::Done;
    // With clockEnd set, waits move the clock instead of the script, up to that end.
    uint64_t clock = 0;
    uint64_t clockEnd = 0;
    uint64_t oversleep = 0;
    // Called at a wait of the sleeping thread, as the program would start a voice.
    std::function<void()> whileAsleep;
};

class RenderingTheStream : public ProgramTest {
protected:
    Mixer mixer{floatStereo(), 512};
    std::atomic<bool> ending{false};
};

TEST_F(RenderingTheStream, TheQueueIsToppedUpToItsFewPeriodsNotTheWholeBuffer) {
    ScriptedStream stream({{0}, {400}, {881}, {882}, {1000}}, ending);
    EXPECT_TRUE(renderPeriods(stream, mixer, 882, ending));
    EXPECT_EQ(stream.written, (std::vector<uint32_t>{882, 482, 1}));
    EXPECT_EQ(stream.waits.front(), LongestPeriodWait);
}

TEST_F(RenderingTheStream, ADeviceThatGoesLosesTheStreamAtOnceAndOtherFailuresOnlyWhenTheyRepeat) {
    using P = ScriptedStream::Period;
    ScriptedStream gone({{0}, P{0, StreamCall::DeviceGone}}, ending);
    EXPECT_FALSE(renderPeriods(gone, mixer, 100, ending));
    EXPECT_TRUE(gone.periods.empty());

    ending = false;
    P failing{0, StreamCall::Failed};
    P unasked{0, StreamCall::Done, StreamCall::Done, false};
    P writeFails{0, StreamCall::Done, StreamCall::Failed};
    // Four in a row, then a good period: the count starts again.
    ScriptedStream recovering({failing, unasked, writeFails, failing, {0}, failing, failing, {0}}, ending);
    EXPECT_TRUE(renderPeriods(recovering, mixer, 100, ending));

    ending = false;
    ScriptedStream lost({failing, unasked, writeFails, failing, unasked, {0}}, ending);
    EXPECT_FALSE(renderPeriods(lost, mixer, 100, ending));
    EXPECT_EQ(lost.periods.size(), 1u) << "lost at the fifth failure in a row";
}

TEST_F(RenderingTheStream, AfterALossVoicesPlayOutUnheardAndTheirKeysAreFreed) {
    // Key 13 plays its 100-frame sound to the end after its release.
    Voice* bank = makeSound(mixer, countingSamples(100));
    Voice* voice = nullptr;
    ASSERT_EQ(mixer.DuplicateSoundBuffer(bank, &voice), DS_OK);
    keyBank.slots[13].voice = voice;
    keyBank.slots[13].triggerMode = HoldFinish;
    keyDown(13);
    keyUp(13);
    ASSERT_EQ(keyBank.finishing[13], 1);

    ScriptedStream stream({}, ending);
    stream.clockEnd = 5000;
    std::vector<uint8_t> unheard(32 * 8);
    renderUnheard(stream, mixer, 32, unheard, ending);
    pollFinishingKeys();
    EXPECT_EQ(keyBank.finishing[13], 0) << "the key was left playing";
    EXPECT_FALSE(isKeyPlaying(13));

    releaseVoice(keyBank.slots[13].voice);
    bank->Release();
}

TEST_F(RenderingTheStream, AnUnheardMixKeepsRealTimeHoweverLongEachWaitLasts) {
    FrameRing ring(2, 44100, 100000);
    mixer.recordInto(&ring);
    ScriptedStream stream({}, ending);
    stream.clockEnd = 2000000;
    stream.oversleep = 15600;  // a whole tick of the system's clock, every wait
    std::vector<uint8_t> unheard(441 * 8);
    renderUnheard(stream, mixer, 441, unheard, ending);
    mixer.recordInto(nullptr);
    std::vector<float> mixed(2 * 100000);
    uint32_t frames = ring.read(mixed.data(), 100000);
    // Two seconds less the last wait, which ends it, and a period.
    const uint32_t lastWaitFrames = 44100 * (10000 + 15600) / 1000000;
    EXPECT_GE(frames, 88200u - lastWaitFrames - 441) << "the unheard mix fell behind the clock";
    EXPECT_LE(frames, 88200u + 441);
}

TEST_F(RenderingTheStream, AStreamThatCannotStartAfterAMoveToFewerChannelsMixesUnheardInItsOwnLayout) {
    // The mixer played on an eight-channel device; the stream opened next is
    // stereo and its device goes before it starts.
    Mixer moved({SampleEncoding::Float32, 8, 32, 48000}, 512);
    std::vector<uint8_t> played(64 * 32);
    moved.render(64, played.data());
    Voice* voice = makeSound(moved, countingSamples(1000));
    voice->Play(0, 0, DSBPLAY_LOOPING);
    ScriptedStream stream({}, ending);
    stream.startResult = StreamCall::DeviceGone;
    stream.clockEnd = 100000;
    std::vector<uint8_t> unheard;
    playStream(stream, moved, {floatStereo(48000), 480, 960}, unheard, ending);
    EXPECT_EQ(stream.calls, (std::vector<std::string>{"start 960", "stop", "lost"}));
    EXPECT_EQ(moved.output().channels, 2);
    EXPECT_EQ(unheard.size(), 480u * 8);
    voice->Release();
}

TEST_F(RenderingTheStream, AfterASecondOfSilenceTheStreamSleepsUntilAVoiceStartsAtTheHeadOfItsQueue) {
    Voice* voice = makeSound(mixer, countingSamples(1000));
    int wakeUps = 0;
    mixer.setWakeUp([](void* count) { ++*static_cast<int*>(count); }, &wakeUps);
    // A second of silence is 44100 frames: after 100 periods of 441 the thread sleeps.
    std::deque<ScriptedStream::Period> periods(102, ScriptedStream::Period{0});
    ScriptedStream stream(periods, ending);
    stream.whileAsleep = [&] { voice->Play(0, 0, DSBPLAY_LOOPING); };
    for (auto& period : stream.periods) period.queued = 441;  // a period played since the last one
    EXPECT_TRUE(renderPeriods(stream, mixer, 882, ending));
    EXPECT_EQ(stream.calls, (std::vector<std::string>{"pause", "resume"}));
    EXPECT_EQ(wakeUps, 1);
    // The voice was mixed at once, into the queue the stream started with.
    ASSERT_EQ(stream.written.size(), 103u);  // 100 periods, the start again, the last two periods
    EXPECT_EQ(stream.written[100], 882u);
    EXPECT_FLOAT_EQ(stream.outputs[100][0], countingValue(0));
    voice->Release();
}

TEST_F(RenderingTheStream, ARecordingWakesTheSleepingThreadAndKeepsItAwakeThroughSilenceRecordingEveryFrame) {
    int wakeUps = 0;
    mixer.setWakeUp([](void* count) { ++*static_cast<int*>(count); }, &wakeUps);
    FrameRing ring(2, 44100, 200000);
    // A second of silence, the thread asleep, then three and a half seconds more while recording.
    std::deque<ScriptedStream::Period> periods(100 + 350, ScriptedStream::Period{441});
    ScriptedStream stream(periods, ending);
    stream.whileAsleep = [&] { mixer.recordInto(&ring); };
    EXPECT_TRUE(renderPeriods(stream, mixer, 882, ending));
    EXPECT_EQ(stream.calls, (std::vector<std::string>{"pause", "resume"})) << "slept again while recording";
    EXPECT_EQ(wakeUps, 1);
    uint32_t written = 0;
    for (size_t k = 100; k < stream.written.size(); ++k) written += stream.written[k];
    std::vector<float> recorded(2 * 200000);
    EXPECT_EQ(ring.read(recorded.data(), 200000), written);
    EXPECT_EQ(written, 882u + 350 * 441);
    mixer.recordInto(nullptr);
}

TEST_F(RenderingTheStream, AVoiceStartedAsTheThreadIsAboutToSleepKeepsTheStreamRunning) {
    Voice* voice = makeSound(mixer, countingSamples(1000));
    voice->Play(0, 0, 0);  // published, not yet mixed
    EXPECT_FALSE(mixer.fallAsleep());
    std::vector<float> out(2 * 10);
    mixer.render(10, out.data());
    EXPECT_FLOAT_EQ(out[0], countingValue(0));
    voice->Stop();
    EXPECT_TRUE(mixer.fallAsleep());
    mixer.awake();
    voice->Release();
}

}  // namespace
