// A voice of the low-latency output as the mixer plays it against its own
// clock: every render() call is one period of the render thread.
#include "audio/mixed_voice.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "audio/mixer.h"
#include "support/mixer_output.h"
#include "support/program_test.h"

using namespace mixertest;

namespace {

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

class VoiceOnTheMixer : public ProgramTest {
protected:
    Mixer mixer{floatStereo(), 512};
};

class VoicePlayback : public VoiceOnTheMixer {};
class Resampling : public VoiceOnTheMixer {};
class VoiceLevels : public VoiceOnTheMixer {};

// At 48000 frames a second a millisecond is 48 frames.
class VoiceFades : public ProgramTest {
protected:
    Mixer mixer{floatStereo(48000), 4096};
    // A steady half of full scale, looping.
    Voice* startSteadyVoice(uint32_t fadeIn, uint32_t fadeOut) {
        Voice* voice = makeSound(mixer, std::vector<int16_t>(4800, 16384));
        voice->SetFades(fadeIn, fadeOut);
        voice->Play(0, 0, DSBPLAY_LOOPING);
        return voice;
    }
};

TEST_F(VoicePlayback, ALoopingVoicePlaysOnAcrossTheEndOfItsData) {
    Voice* voice = makeSound(mixer, countingSamples(10));
    voice->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    Stereo out = renderFrames(mixer, 25);
    for (int n = 0; n < 25; ++n) {
        EXPECT_FLOAT_EQ(out.left[n], countingValue(n % 10)) << n;
        EXPECT_FLOAT_EQ(out.right[n], countingValue(n % 10)) << n;  // mono sounds on both sides
    }
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    voice->Release();
}

TEST_F(VoicePlayback, DroppingTheLoopFlagPlaysThePassToItsEndAndStops) {
    Voice* voice = makeSound(mixer, countingSamples(10));
    voice->Play(0, 0, DSBPLAY_LOOPING);
    renderFrames(mixer, 14);  // four frames into the second pass
    voice->Play(0, 0, 0);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING);  // still sounding: the pass goes on
    Stereo out = renderFrames(mixer, 10);
    for (int n = 0; n < 6; ++n) EXPECT_FLOAT_EQ(out.left[n], countingValue(n + 4)) << n;
    for (int n = 6; n < 10; ++n) EXPECT_EQ(out.left[n], 0.0f) << n;
    EXPECT_EQ(statusOf(voice), 0u);
    // The voice is back at its start: played once more, it plays the whole pass.
    voice->Play(0, 0, 0);
    out = renderFrames(mixer, 12);
    EXPECT_FLOAT_EQ(out.left[0], countingValue(0));
    EXPECT_EQ(soundingLength(out.left), 10u);
    voice->Release();
}

TEST_F(VoicePlayback, AOneShotPassReportsPlayingUntilItHasBeenMixedToTheEnd) {
    Voice* voice = makeSound(mixer, countingSamples(100));
    voice->Play(0, 0, 0);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING);
    renderFrames(mixer, 99);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING);
    renderFrames(mixer, 1);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING);  // the last frame mixed; the end not yet reached
    renderFrames(mixer, 1);
    EXPECT_EQ(statusOf(voice), 0u);
    voice->Release();
}

TEST_F(VoicePlayback, StopKeepsThePositionAndSetCurrentPositionMovesIt) {
    Voice* voice = makeSound(mixer, countingSamples(1000));
    voice->Play(0, 0, DSBPLAY_LOOPING);
    renderFrames(mixer, 300);
    voice->Stop();
    EXPECT_EQ(statusOf(voice), 0u);  // at once, while the pass still fades
    renderFrames(mixer, mixer.rampFrames + 10);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_FLOAT_EQ(renderFrames(mixer, 1).left[0], countingValue(300));
    voice->Stop();
    renderFrames(mixer, mixer.rampFrames + 10);
    EXPECT_EQ(voice->SetCurrentPosition(2 * 40), DS_OK);  // bytes: frame 40
    voice->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_FLOAT_EQ(renderFrames(mixer, 1).left[0], countingValue(40));
    EXPECT_EQ(voice->SetCurrentPosition(2000), DSERR_INVALIDPARAM);  // past the end
    voice->Release();
}

TEST_F(VoicePlayback, ARestartSoundsAtOnceFromTheStartWhileTheStoppedPassFadesOut) {
    Voice* voice = makeSound(mixer, countingSamples(1000));
    voice->Play(0, 0, DSBPLAY_LOOPING);
    renderFrames(mixer, 500);
    // What a key press does to a sounding voice.
    voice->Stop();
    voice->SetCurrentPosition(0);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    Stereo out = renderFrames(mixer, mixer.rampFrames + 5);
    // The new pass at full level plus the old one at the top of its fade.
    EXPECT_NEAR(out.left[0], countingValue(0) + countingValue(500), 1e-6);
    const uint32_t ramp = mixer.rampFrames;
    for (uint32_t n = 0; n < ramp + 5; ++n) {
        float fading = n < ramp ? countingValue(500 + n) * (1.0f - static_cast<float>(n) / ramp) : 0.0f;
        EXPECT_NEAR(out.left[n], countingValue(n) + fading, 1e-4) << n;
    }
    voice->Release();
}

TEST_F(VoicePlayback, AVoiceWithoutSamplesStopsAtOnce) {
    // Four bytes of a 24-bit stereo sound hold no whole frame.
    Voice* voice = makeSoundOfBytes(mixer, formatRecord(WaveFormatPcm, 2, 44100, 24), {}, 4);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(soundingLength(renderFrames(mixer, 10).left), 0u);
    EXPECT_EQ(statusOf(voice), 0u);
    voice->Release();
}

TEST_F(Resampling, RatesConvertToTheOutputRateInLengthAndPitch) {
    // One second of 441 Hz at 44100 frames a second, played once at each rate
    // into a 48000 Hz output.
    Mixer output48k(floatStereo(48000), 1024);
    for (uint32_t rate : {22050u, 44100u, 88200u, 200000u, 31337u}) {
        Voice* voice = makeSound(output48k, sineSamples(44100, 441.0));
        ASSERT_EQ(voice->SetFrequency(rate), DS_OK);
        voice->Play(0, 0, 0);
        Stereo out = renderFrames(output48k, 100000);
        double seconds = 44100.0 / rate;
        EXPECT_NEAR(static_cast<double>(soundingLength(out.left)), seconds * 48000, 2.0) << rate;
        double expected = 441.0 * rate / 44100.0;
        double measured = frequencyOf(out.left, 100, static_cast<size_t>(seconds * 48000) - 100, 48000);
        EXPECT_NEAR(measured, expected, expected * 0.001) << rate;
        EXPECT_EQ(statusOf(voice), 0u) << rate;
        voice->Release();
    }
}

// 60 dB down would do; the interpolation gets everything else more than 80 dB
// down, where a straight line between samples only just makes 60.
TEST_F(Resampling, ATonePlayedTwoOctavesUpHasNothingElseWithin80Decibels) {
    for (uint32_t outputRate : {44100u, 48000u}) {
        Mixer output(floatStereo(outputRate), 4096);
        Voice* voice = makeSound(output, sineSamples(44100, 1000.0));  // 1 kHz, loops seamlessly
        voice->SetFrequency(4 * 44100);
        voice->Play(0, 0, DSBPLAY_LOOPING);
        Stereo out = renderFrames(output, outputRate / 2);
        EXPECT_LT(spuriousBelowToneDb(out.left, 4000.0, outputRate), -80.0) << outputRate;
        voice->Release();
    }
}

TEST_F(Resampling, RatesOutsideDirectSoundsRangeAreRefusedAndZeroMeansTheSoundsOwn) {
    Voice* voice = makeSound(mixer, sineSamples(44100, 441.0), 1, 22050);
    EXPECT_EQ(voice->SetFrequency(44100), DS_OK);
    EXPECT_EQ(voice->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetFrequency(200001), DSERR_INVALIDPARAM);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_NEAR(frequencyOf(renderFrames(mixer, 44100).left, 0, 44100, 44100), 441.0, 0.5);  // still 44100
    EXPECT_EQ(voice->SetFrequency(0), DS_OK);
    Stereo out = renderFrames(mixer, 44100);
    EXPECT_NEAR(frequencyOf(out.left, 1000, 44100, 44100), 220.5, 0.5);
    voice->Release();
}

TEST_F(VoiceLevels, VolumeIsInHundredthsOfADecibelAndPanAttenuatesTheFarSide) {
    Voice* voice = makeSound(mixer, std::vector<int16_t>(44100, 16384));  // a steady half of full scale
    struct Case {
        int32_t volume, pan;
        double leftDb, rightDb;  // below the sound's own level; NAN: silent
    };
    const Case cases[] = {
        {0, 0, 0.0, 0.0},       {-600, 0, -6.0, -6.0},      {-890, 0, -8.9, -8.9},
        {0, -5000, 0.0, -50.0}, {0, 2500, -25.0, 0.0},      {-1815, 10000, NAN, -18.15},
        {0, -10000, 0.0, NAN},  {-9999, 0, -99.99, -99.99}, {-10000, 0, NAN, NAN},
    };
    voice->Play(0, 0, DSBPLAY_LOOPING);
    for (const Case& c : cases) {
        ASSERT_EQ(voice->SetVolume(c.volume), DS_OK);
        ASSERT_EQ(voice->SetPan(c.pan), DS_OK);
        renderFrames(mixer, mixer.rampFrames + 1);
        Stereo out = renderFrames(mixer, 1);
        for (auto [level, expected] : {std::pair{out.left[0], c.leftDb}, std::pair{out.right[0], c.rightDb}}) {
            if (std::isnan(expected)) EXPECT_EQ(level, 0.0f) << c.volume << " " << c.pan;
            else EXPECT_NEAR(decibels(level / 0.5), expected, 0.001) << c.volume << " " << c.pan;
        }
    }
    // Levels DirectSound refuses leave the voice as it was.
    EXPECT_EQ(voice->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetPan(10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetPan(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(renderFrames(mixer, 1).left[0], 0.0f);
    voice->Release();
}

TEST_F(VoiceLevels, AStereoSoundKeepsItsSidesAndThePanActsOnEach) {
    Voice* voice = makeSound(mixer, {8192, -16384, 8192, -16384}, 2);
    voice->SetPan(-2000);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    Stereo out = renderFrames(mixer, 2);
    EXPECT_FLOAT_EQ(out.left[1], 0.25f);
    EXPECT_NEAR(decibels(-out.right[1] / 0.5), -20.0, 0.001);
    voice->Release();
}

TEST_F(VoiceLevels, VolumeStepsMutesAndStopsRampInsteadOfJumping) {
    Voice* voice = makeSound(mixer, std::vector<int16_t>(44100, 16384));
    voice->SetVolume(-600);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    const uint32_t ramp = mixer.rampFrames;
    EXPECT_GE(ramp, 44100u / 1000);  // a few milliseconds
    EXPECT_LE(ramp, 44100u / 100);
    const float quiet = 0.5f * std::pow(10.0f, -0.3f);
    EXPECT_FLOAT_EQ(renderFrames(mixer, 1).left[0], quiet);  // a start is immediate
    // Each change leaves the level where it was and goes to the next one in
    // equal steps over the ramp, never beyond.
    auto expectRamp = [&](float from, float to, const char* what) {
        Stereo out = renderFrames(mixer, ramp + 10);
        const float step = (to - from) / static_cast<float>(ramp);
        EXPECT_NEAR(out.left[0], from, 1e-6) << what;
        for (uint32_t n = 1; n < ramp + 10; ++n) {
            EXPECT_NEAR(out.left[n] - out.left[n - 1], n <= ramp ? step : 0.0f, 1e-5) << what << " " << n;
        }
        EXPECT_FLOAT_EQ(out.left[ramp + 9], to) << what;
    };
    voice->SetVolume(0);
    expectRamp(quiet, 0.5f, "a volume step up");
    voice->SetVolume(-10000);
    expectRamp(0.5f, 0.0f, "a mute");
    voice->SetVolume(0);
    expectRamp(0.0f, 0.5f, "an unmute");
    voice->Stop();
    expectRamp(0.5f, 0.0f, "a stop");
    voice->Release();
}

TEST_F(VoiceFades, EveryStartRisesFromSilenceAndAFadeOutFallsToSilenceBeforeTheVoiceStops) {
    Voice* voice = makeSound(mixer, std::vector<int16_t>(4800, 16384));
    voice->SetVolume(-600);  // the envelope scales the level the volume gives
    voice->SetFades(10, 2);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    const float level = 0.5f * std::pow(10.0f, -0.3f);
    Stereo out = renderFrames(mixer, 481);
    EXPECT_EQ(out.left[0], 0.0f);
    EXPECT_NEAR(out.left[1], level / 480, 1e-7);
    EXPECT_NEAR(out.right[479], level * 479 / 480, 1e-6);
    EXPECT_FLOAT_EQ(out.left[480], level);

    EXPECT_EQ(voice->FadeOut(), DS_OK);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    out = renderFrames(mixer, 96);
    EXPECT_FLOAT_EQ(out.left[0], level);
    EXPECT_NEAR(out.left[95], level / 96, 1e-7);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);  // the last frame mixed, not yet past it
    out = renderFrames(mixer, 10);
    EXPECT_EQ(soundingLength(out.left), 0u);
    EXPECT_EQ(statusOf(voice), 0u);

    voice->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(renderFrames(mixer, 1).left[0], 0.0f) << "a start after the fade-out fades in again";
    voice->SetFades(10, 0);
    EXPECT_EQ(voice->FadeOut(), DS_OK);
    EXPECT_EQ(statusOf(voice), 0u) << "without a fade-out, FadeOut stops at once";
    voice->Release();
}

TEST_F(VoiceFades, AFadeOutFallsFromWhereTheFadeInIsAndASecondOneChangesNothing) {
    Voice* voice = startSteadyVoice(10, 2);
    renderFrames(mixer, 240);  // half way up
    voice->FadeOut();
    Stereo out = renderFrames(mixer, 48);
    EXPECT_FLOAT_EQ(out.left[0], 0.25f);
    EXPECT_NEAR(out.left[47], 0.25f * 49 / 96, 1e-6);
    voice->FadeOut();
    out = renderFrames(mixer, 48);
    EXPECT_NEAR(out.left[0], 0.125f, 1e-6);
    EXPECT_NEAR(out.left[47], 0.25f / 96, 1e-7);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(renderFrames(mixer, 1).left[0], 0.0f);
    EXPECT_EQ(statusOf(voice), 0u);
    voice->Release();
}

TEST_F(VoiceFades, AStopDuringAFadeOutRampsOutAtOnce) {
    Voice* voice = startSteadyVoice(0, 100);
    renderFrames(mixer, 10);
    voice->FadeOut();
    renderFrames(mixer, 2400);  // half way down
    voice->Stop();
    EXPECT_EQ(statusOf(voice), 0u);
    Stereo out = renderFrames(mixer, mixer.rampFrames + 5);
    EXPECT_NEAR(out.left[0], 0.25f, 1e-6);
    EXPECT_EQ(soundingLength(out.left), mixer.rampFrames);
    voice->Release();
}

TEST_F(VoiceFades, APlayDuringAFadeOutStartsAfreshWhileTheFadingPassRampsOut) {
    Voice* voice = startSteadyVoice(10, 100);
    renderFrames(mixer, 480);
    voice->FadeOut();
    renderFrames(mixer, 2400);  // half way down
    voice->Play(0, 0, DSBPLAY_LOOPING);
    const uint32_t ramp = mixer.rampFrames;
    Stereo out = renderFrames(mixer, ramp + 5);
    for (uint32_t n = 0; n < ramp + 5; ++n) {
        float rising = 0.5f * static_cast<float>(n) / 480;
        float rampingOut = n < ramp ? 0.25f * (1.0f - static_cast<float>(n) / ramp) : 0.0f;
        EXPECT_NEAR(out.left[n], rising + rampingOut, 1e-6) << n;
    }
    out = renderFrames(mixer, 4800);  // longer than the fade-out: the new pass does not fall
    EXPECT_FLOAT_EQ(out.left[4799], 0.5f);
    EXPECT_EQ(statusOf(voice), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    voice->Release();
}

}  // namespace
