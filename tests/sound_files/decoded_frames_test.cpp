#include "sound_files/decoded_frames.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

#include "support/program_test.h"

namespace {

class DecodedChannels : public ProgramTest {
protected:
    // Frames given interleaved, as Media Foundation gives them.
    WaveResult append(const FrameMix& mix, const std::vector<float>& interleaved) {
        std::vector<const float*> starts;
        for (size_t c = 0; c < mix.channels; ++c) starts.push_back(interleaved.data() + c);
        return appendDecodedFrames(mix, starts.data(), mix.channels, interleaved.size() / mix.channels, sound);
    }
    std::vector<int16_t> sixteen() const {
        std::vector<int16_t> values(sound.samples.size() / 2);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<int16_t>(sound.samples[2 * i] | sound.samples[2 * i + 1] << 8);
        return values;
    }
    DecodedSound sound;
};

TEST_F(DecodedChannels, MonoAndStereoPassAsTheyAreIntoSixteenBitPcm) {
    FrameMix mono = waveFrameMix(1, 0);
    startDecodedSound(44100, mono, SampleEncoding::Signed16, sound);
    EXPECT_EQ(sound.format.formatTag, WaveFormatPcm);
    EXPECT_EQ(sound.format.channels, 1);
    EXPECT_EQ(sound.format.blockAlign, 2);
    ASSERT_EQ(append(mono, {0.5f, -1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN()}), 0u);
    EXPECT_EQ(sixteen(), (std::vector<int16_t>{16384, -32768, 32767, 0}));
    FrameMix stereo = vorbisFrameMix(2);
    startDecodedSound(48000, stereo, SampleEncoding::Signed16, sound);
    ASSERT_EQ(append(stereo, {0.25f, -0.25f, 0.0f, 1.0f}), 0u);
    EXPECT_EQ(sixteen(), (std::vector<int16_t>{8192, -8192, 0, 32767}));
    EXPECT_EQ(decodedFrameCount(sound), 2u);
    EXPECT_EQ(sound.format.avgBytesPerSec, 48000u * 4);
}

TEST_F(DecodedChannels, FloatIsKeptAsFloatClippedToFullScale) {
    FrameMix stereo = waveFrameMix(2, 0);
    startDecodedSound(96000, stereo, SampleEncoding::Float32, sound);
    EXPECT_EQ(sound.format.formatTag, WaveFormatFloat);
    EXPECT_EQ(sound.format.bitsPerSample, 32);
    EXPECT_EQ(sound.format.blockAlign, 8);
    ASSERT_EQ(append(stereo, {0.125f, -3.0f}), 0u);
    EXPECT_EQ(readSample(SampleEncoding::Float32, sound.samples.data()), 0.125f);
    EXPECT_EQ(readSample(SampleEncoding::Float32, sound.samples.data() + 4), -1.0f);
}

TEST_F(DecodedChannels, FiveOneIsMixedDownToStereoThatCannotClip) {
    // WAVE's order: FL FR FC LFE BL BR.
    FrameMix wave = waveFrameMix(6, 0x3F);
    EXPECT_EQ(wave.outputChannels, 2);
    startDecodedSound(44100, wave, SampleEncoding::Float32, sound);
    ASSERT_EQ(append(wave, {1, 1, 1, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0}), 0u);
    float left = readSample(SampleEncoding::Float32, sound.samples.data());
    float right = readSample(SampleEncoding::Float32, sound.samples.data() + 4);
    EXPECT_NEAR(left, 1.0f, 1e-6);  // every channel at full scale sums to full scale
    EXPECT_NEAR(right, 1.0f, 1e-6);
    float centre = readSample(SampleEncoding::Float32, sound.samples.data() + 8);
    EXPECT_NEAR(centre, 0.70710678f / 2.41421356f, 1e-6);
    EXPECT_EQ(readSample(SampleEncoding::Float32, sound.samples.data() + 12), centre);
    EXPECT_EQ(readSample(SampleEncoding::Float32, sound.samples.data() + 16), 0.0f);  // the LFE is left out
    EXPECT_EQ(readSample(SampleEncoding::Float32, sound.samples.data() + 20), 0.0f);

    // Vorbis' order for the same layout: L C R SL SR LFE.
    FrameMix vorbis = vorbisFrameMix(6);
    EXPECT_EQ(vorbis.leftWeights[1], wave.leftWeights[2]);
    EXPECT_EQ(vorbis.leftWeights[0], wave.leftWeights[0]);
    EXPECT_EQ(vorbis.rightWeights[2], wave.rightWeights[1]);
    EXPECT_EQ(vorbis.leftWeights[5], 0.0f);
}

TEST_F(DecodedChannels, ChannelsOfNoKnownPlaceGoToBothSidesAlike) {
    FrameMix many = vorbisFrameMix(12);
    EXPECT_EQ(many.outputChannels, 2);
    for (size_t c = 0; c < 12; ++c) {
        EXPECT_NEAR(many.leftWeights[c], 1.0f / 12, 1e-6) << c;
        EXPECT_EQ(many.leftWeights[c], many.rightWeights[c]) << c;
    }
    FrameMix masked = waveFrameMix(4, 0x3);  // a mask that names two of four channels
    EXPECT_GT(masked.leftWeights[0], 0.0f);
    EXPECT_EQ(masked.rightWeights[0], 0.0f);
    EXPECT_EQ(masked.leftWeights[2], masked.rightWeights[3]);
}

TEST_F(DecodedChannels, NoSoundGrowsPastTheLargestBufferAndTrimsKeepTheFramesAsked) {
    FrameMix stereo = waveFrameMix(2, 0);
    startDecodedSound(44100, stereo, SampleEncoding::Signed16, sound);
    std::vector<float> none(2);
    const float* starts[] = {none.data(), none.data() + 1};
    EXPECT_EQ(appendDecodedFrames(stereo, starts, 2, LargestDecodedBytes / 4 + 1, sound), DecoderErrorTooLong);
    EXPECT_TRUE(sound.samples.empty());
    ASSERT_EQ(append(stereo, {0.0f, 0.0f, 0.5f, 0.5f, -0.5f, -0.5f, 1.0f, 1.0f}), 0u);
    keepDecodedFrames(1, 2, sound);
    EXPECT_EQ(sixteen(), (std::vector<int16_t>{16384, 16384, -16384, -16384}));
    keepDecodedFrames(1, 100, sound);
    EXPECT_EQ(sixteen(), (std::vector<int16_t>{-16384, -16384}));
    keepDecodedFrames(5, 1, sound);
    EXPECT_TRUE(sound.samples.empty());
}

}  // namespace
