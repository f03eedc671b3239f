// The low-latency output's mixer: the sounds it makes and duplicates, the sum
// it writes and the voices it frees once no mix reads them, played against
// its own clock: every render() call is one period of the render thread.
#include "audio/mixer.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#include <utility>
#include <vector>

#include "audio/frame_ring.h"
#include "audio/mixed_voice.h"
#include "support/mixer_output.h"
#include "support/program_test.h"

using namespace mixertest;

namespace {

class Mixing : public ProgramTest {
protected:
    Mixer mixer{floatStereo(), 512};
};

TEST_F(Mixing, ManyVoicesAtFullScaleClipInsteadOfWrapping) {
    SampleLayout pcm16 = {SampleEncoding::Signed16, 2, 4, 44100};
    Mixer output(pcm16, 256);
    std::vector<Voice*> voices;
    for (int k = 0; k < 47; ++k) {
        voices.push_back(makeSound(output, {32767, 32767, -32768, -32768, 30000, -30000}, 2));
        voices.back()->Play(0, 0, DSBPLAY_LOOPING);
    }
    std::vector<int16_t> out(2 * 3);
    output.render(3, out.data());
    EXPECT_EQ(out, (std::vector<int16_t>{32767, 32767, -32768, -32768, 32767, -32768}));
    for (Voice* voice : voices) voice->Release();
    // Silence again once every voice has gone.
    output.render(3, out.data());
    EXPECT_EQ(out, std::vector<int16_t>(6, 0));
}

TEST_F(Mixing, ADuplicateSharesTheSoundButNotItsPlaying) {
    Voice* original = makeSound(mixer, countingSamples(10));
    original->SetFrequency(22050);
    original->SetVolume(-10000);
    Voice* duplicate = nullptr;
    ASSERT_EQ(mixer.DuplicateSoundBuffer(original, &duplicate), DS_OK);
    EXPECT_EQ(statusOf(duplicate), 0u);  // starts stopped
    original->Release();                 // the shared sound lives on
    duplicate->SetVolume(0);
    duplicate->Play(0, 0, 0);
    Stereo out = renderFrames(mixer, 30);
    EXPECT_FLOAT_EQ(out.left[0], countingValue(0));
    EXPECT_FLOAT_EQ(out.left[2], countingValue(1));  // at the original's rate: half speed
    EXPECT_EQ(soundingLength(out.left), 20u);
    // Writing through one voice's Lock changes what every voice of the sound plays.
    Voice* another = nullptr;
    ASSERT_EQ(mixer.DuplicateSoundBuffer(duplicate, &another), DS_OK);
    void* area = nullptr;
    uint32_t areaBytes = 0;
    ASSERT_EQ(another->Lock(0, 0, &area, &areaBytes, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(areaBytes, 20u);
    static_cast<int16_t*>(area)[0] = 5000;
    another->Unlock(area, areaBytes);
    another->Release();
    duplicate->Play(0, 0, 0);
    EXPECT_FLOAT_EQ(renderFrames(mixer, 1).left[0], 5000.0f / 32768.0f);
    duplicate->Release();
}

// A sound of 1000 frames a second played into an output of as many: a
// millisecond is a frame, and every frame of the output one of the sound.
class SoundParts : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        bank = makeBankSound(slow, countingSamples(100), 1000);
    }
    void TearDown() override {
        bank->Release();
        ProgramTest::TearDown();
    }
    Mixer slow{floatStereo(1000), 64};
    Voice* bank = nullptr;
};

TEST_F(SoundParts, APartPlaysFromItsStartPointToItsEndPointAndLoopsBetweenThem) {
    Voice* part = nullptr;
    ASSERT_EQ(slow.DuplicateSoundBufferPart(bank, 10, 20, &part), DS_OK);
    part->Play(0, 0, 0);
    Stereo out = renderFrames(slow, 12);
    for (int n = 0; n < 10; ++n) EXPECT_FLOAT_EQ(out.left[n], countingValue(10 + n)) << n;
    EXPECT_EQ(soundingLength(out.left), 10u);
    EXPECT_EQ(statusOf(part), 0u);
    // Positions and Lock are the part's: 0 is the start point.
    ASSERT_EQ(part->SetCurrentPosition(2 * 3), DS_OK);
    part->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_FLOAT_EQ(renderFrames(slow, 1).left[0], countingValue(13));
    part->Stop();
    renderFrames(slow, slow.rampFrames);
    part->SetCurrentPosition(0);
    part->Play(0, 0, DSBPLAY_LOOPING);
    out = renderFrames(slow, 25);
    for (int n = 0; n < 25; ++n) EXPECT_FLOAT_EQ(out.left[n], countingValue(10 + n % 10)) << n;
    EXPECT_EQ(part->SetCurrentPosition(2 * 10), DSERR_INVALIDPARAM);
    void* area = nullptr;
    uint32_t areaBytes = 0;
    ASSERT_EQ(part->Lock(0, 0, &area, &areaBytes, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(areaBytes, 20u);
    EXPECT_EQ(static_cast<int16_t*>(area)[0], 30 * 11);
    part->Unlock(area, areaBytes);
    // A duplicate of the part keeps it.
    Voice* copy = nullptr;
    ASSERT_EQ(slow.DuplicateSoundBuffer(part, &copy), DS_OK);
    part->Release();
    copy->Play(0, 0, 0);
    out = renderFrames(slow, 12);
    EXPECT_FLOAT_EQ(out.left[0], countingValue(10));
    EXPECT_EQ(soundingLength(out.left), 10u);
    copy->Release();
}

TEST_F(SoundParts, ALoopSeamInterpolatesWithinThePart) {
    // Steady inside the part, loud outside it: any frame read from outside
    // the part would show between samples.
    std::vector<int16_t> samples(100, 30000);
    std::fill(samples.begin() + 10, samples.begin() + 20, 8192);
    Voice* sound = makeBankSound(slow, samples, 1000);
    Voice* part = nullptr;
    ASSERT_EQ(slow.DuplicateSoundBufferPart(sound, 10, 20, &part), DS_OK);
    part->SetFrequency(700);  // between frames nearly everywhere
    part->Play(0, 0, DSBPLAY_LOOPING);
    Stereo out = renderFrames(slow, 200);
    for (int n = 0; n < 200; ++n) ASSERT_EQ(out.left[n], 0.25f) << n;
    part->Release();
    sound->Release();
}

TEST_F(SoundParts, PointsRoundToTheNearestFramePastTheEndAreTheEndAndAPartWithoutFramesIsRefused) {
    Mixer mixer(floatStereo(), 512);
    Voice* longer = makeBankSound(mixer, countingSamples(1000));
    Voice* part = nullptr;
    ASSERT_EQ(mixer.DuplicateSoundBufferPart(longer, 17, 100000, &part), DS_OK);  // from frame 749.7
    part->Play(0, 0, 0);
    Stereo out = renderFrames(mixer, 300);
    EXPECT_FLOAT_EQ(out.left[0], countingValue(750));
    EXPECT_EQ(soundingLength(out.left), 250u);
    part->Release();
    for (auto [start, end] : {std::pair{23u, 0u}, std::pair{10u, 10u}, std::pair{12u, 11u}}) {
        Voice* none = nullptr;
        EXPECT_EQ(mixer.DuplicateSoundBufferPart(longer, start, end, &none), DSERR_INVALIDPARAM) << start << " " << end;
        EXPECT_EQ(none, nullptr);
    }
    longer->Release();
}

TEST_F(Mixing, TheUnwrittenByteOfABankBufferIsSilenceInItsFormat) {
    // An 8-bit sound's buffer is one byte longer than its data: that byte
    // plays as the middle of the range, not as a full-scale click.
    Mixer mixer(floatStereo(), 64);
    Voice* voice = makeSoundOfBytes(mixer, formatRecord(WaveFormatPcm, 1, 44100, 8), {192, 192, 192, 192}, 5);
    voice->Play(0, 0, 0);
    Stereo out = renderFrames(mixer, 6);
    EXPECT_EQ(out.left, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f}));
    voice->Release();
}

TEST_F(Mixing, ARecordingGetsWhatTheOutputPlaysAsFloatsClippedAsTheOutputIs) {
    struct Case {
        SampleLayout output;
        std::vector<float> recorded;  // the first frame, then the second
    };
    // Two voices: one frame of the sum over full scale, then one inside it.
    const Case cases[] = {
        {floatStereo(), {1.0f, -1.0f, 0.5f, 0.25f}},
        {{SampleEncoding::Signed16, 2, 4, 44100}, {1.0f, -1.0f, 0.5f, 0.25f}},
        {{SampleEncoding::Signed24, 1, 3, 44100}, {-1.0f / 32768, 0.375f}},  // mono: the mean, then clipped
        {{SampleEncoding::Float32, 4, 16, 44100}, {1.0f, -1.0f, 0.0f, 0.0f, 0.5f, 0.25f, 0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        Mixer output(c.output, 64);
        FrameRing ring(c.output.channels, 44100, 16);
        std::vector<Voice*> voices;
        for (int k = 0; k < 2; ++k) {
            voices.push_back(makeSound(output, {32767, -32768, 8192, 4096}, 2));
            voices.back()->Play(0, 0, 0);
        }
        output.recordInto(&ring);
        std::vector<uint8_t> played(2 * c.output.blockAlign);
        output.render(2, played.data());
        std::vector<float> recorded(c.recorded.size());
        EXPECT_EQ(ring.read(recorded.data(), 2), 2u);
        EXPECT_EQ(recorded, c.recorded) << c.output.channels << " channels";
        if (c.output.encoding == SampleEncoding::Float32) {
            EXPECT_EQ(std::memcmp(played.data(), recorded.data(), played.size()), 0) << "the device's own bytes";
        }
        output.recordInto(nullptr);
        output.render(2, played.data());
        EXPECT_EQ(ring.read(recorded.data(), 2), 0u) << "recorded after it was taken away";
        for (Voice* voice : voices) voice->Release();
    }
}

TEST_F(Mixing, AMixForAnotherRateOrChannelCountClosesTheRecordingInsteadOfWritingIt) {
    for (const SampleLayout& other : {floatStereo(48000), SampleLayout{SampleEncoding::Float32, 1, 4, 44100}}) {
        FrameRing ring(2, 44100, 16);
        Mixer output(other, 64);
        output.recordInto(&ring);
        std::vector<uint8_t> played(4 * other.blockAlign);
        output.render(4, played.data());
        float frame[2];
        EXPECT_EQ(ring.read(frame, 1), 0u);
        EXPECT_TRUE(ring.isClosed());
        output.recordInto(nullptr);
    }
}

TEST_F(Mixing, VoicesPlayedAndReleasedWhileTheRenderThreadMixesAreNeverReadAfterFreeing) {
    // Run under the address sanitizer: a voice freed while a mix reads it fails the test.
    std::atomic<bool> done{false};
    std::thread renderThread([&] {
        std::vector<float> out(2 * 64);
        while (!done.load()) mixer.render(64, out.data());
    });
    Voice* bank = makeSound(mixer, sineSamples(400, 4.0));
    for (int round = 0; round < 3000; ++round) {
        Voice* voice = nullptr;
        ASSERT_EQ(mixer.DuplicateSoundBuffer(bank, &voice), DS_OK);
        voice->SetFrequency(22050 + 17 * (round % 100));
        voice->Play(0, 0, round % 2 ? DSBPLAY_LOOPING : 0);
        if (round % 3 == 0) voice->Stop();
        uint32_t status = 0;
        voice->GetStatus(&status);
        voice->Release();
        if (round == 1500) {
            bank->Release();
            bank = makeSound(mixer, sineSamples(400, 4.0));
        }
    }
    done = true;
    renderThread.join();
    bank->Release();
}

TEST_F(Mixing, VoicesReleasedAsTheRenderThreadLooksForAStartBeforeSleepingAreNeverReadAfterFreeing) {
    // Under the address sanitizer: the look before sleeping reads every voice.
    std::atomic<bool> done{false};
    std::thread renderThread([&] {
        while (!done.load())
            if (mixer.fallAsleep()) mixer.awake();
    });
    Voice* bank = makeSound(mixer, sineSamples(400, 0.1));
    for (int round = 0; round < 5000; ++round) {
        Voice* voice = nullptr;
        ASSERT_EQ(mixer.DuplicateSoundBuffer(bank, &voice), DS_OK);
        voice->Play(0, 0, 0);
        voice->Stop();
        voice->Release();
    }
    done = true;
    renderThread.join();
    bank->Release();
}

TEST_F(Mixing, AStartMadeAsTheRenderThreadFallsAsleepNeverGoesUnheard) {
    // A start followed at once by more settings, as a key's press makes it,
    // while the render thread looks whether it may sleep: either it sees the
    // start, or the start sees it asleep and wakes it.
    std::atomic<int> wakeUps{0};
    mixer.setWakeUp([](void* count) { ++*static_cast<std::atomic<int>*>(count); }, &wakeUps);
    Voice* voice = makeSound(mixer, sineSamples(400, 0.1));
    std::atomic<int> round{0};
    std::atomic<int> lookedIn{-1};
    std::atomic<bool> slept{false};
    std::thread renderThread([&] {
        for (int r = 0; r < 3000; ++r) {
            while (round.load() != r) std::this_thread::yield();
            slept = mixer.fallAsleep();
            lookedIn = r;
        }
    });
    int missed = 0;
    std::vector<float> out(2 * 16);
    for (int r = 0; r < 3000; ++r) {
        int before = wakeUps.load();
        round = r;
        voice->Play(0, 0, DSBPLAY_LOOPING);
        for (int level = -100; level < 0; level += 10) voice->SetVolume(level);
        while (lookedIn.load() != r) std::this_thread::yield();
        if (slept.load() && wakeUps.load() == before) ++missed;
        mixer.awake();
        voice->Stop();
        mixer.render(16, out.data());  // the start and the stop heard, as the thread would
    }
    renderThread.join();
    EXPECT_EQ(missed, 0) << "starts slept through";
    voice->Release();
}

}  // namespace
