#include "sound_files/ogg_decoder.h"

#include <gtest/gtest.h>
#include <string>

#include "sound_files/decoded_frames.h"
#include "support/program_test.h"
#include "support/sox_sounds.h"

using namespace soxtest;
using wavetest::Bytes;

namespace {

// A sine of amplitude one half: its level is 0.354.
constexpr double HalfSineLevel = 0.35355;

class DecodingOggVorbis : public ProgramTest {
protected:
    // Starts from a sound that is not empty, so that a failure must empty it.
    WaveResult decode(const Bytes& bytes) {
        sound.format.channels = 7;
        sound.samples.assign(3, 0x55);
        return decodeOggBytes(bytes.data(), bytes.size(), sound);
    }
    bool soundIsEmpty() const {
        WaveFormatRecord zero{};
        return sound.samples.empty() && std::memcmp(&sound.format, &zero, sizeof zero) == 0;
    }
    Bytes made(const std::string& layout, const std::string& effects) {
        std::string path = makeSound(files, "sound.ogg", layout, effects);
        EXPECT_FALSE(path.empty()) << "sox could not write " << layout << " " << effects;
        return fileBytes(path);
    }

    wavetest::TempFiles files;
    DecodedSound sound;
};

TEST_F(DecodingOggVorbis, AStereoToneReadsAsSixteenBitPcmOfItsRateLengthPitchAndLevel) {
    Bytes ogg = made("-r 44100 -c 2", "synth 1 sine 440 sine 660 gain -6");
    ASSERT_EQ(decode(ogg), 0u);
    EXPECT_EQ(sound.format.formatTag, WaveFormatPcm);
    EXPECT_EQ(sound.format.channels, 2);
    EXPECT_EQ(sound.format.samplesPerSec, 44100u);
    EXPECT_EQ(sound.format.bitsPerSample, 16);
    EXPECT_EQ(sound.format.blockAlign, 4);
    EXPECT_EQ(sound.format.avgBytesPerSec, 176400u);
    EXPECT_EQ(sound.format.extraSize, 0);
    EXPECT_NEAR(static_cast<double>(decodedFrameCount(sound)), 44100, 64);
    EXPECT_NEAR(pitchOf(channelOf(sound, 0), 44100), 440, 4);
    EXPECT_NEAR(pitchOf(channelOf(sound, 1), 44100), 660, 4);
    EXPECT_NEAR(levelOf(channelOf(sound, 0)), HalfSineLevel, 0.02);
    EXPECT_NEAR(levelOf(channelOf(sound, 1)), HalfSineLevel, 0.02);
}

TEST_F(DecodingOggVorbis, MonoStaysMonoAtLowAndHighRates) {
    for (uint32_t rate : {8000u, 96000u}) {
        Bytes ogg = made("-r " + std::to_string(rate) + " -c 1", "synth 0.5 sine 1000 gain -6");
        ASSERT_EQ(decode(ogg), 0u) << rate;
        EXPECT_EQ(sound.format.channels, 1) << rate;
        EXPECT_EQ(sound.format.blockAlign, 2) << rate;
        EXPECT_EQ(sound.format.samplesPerSec, rate);
        EXPECT_NEAR(static_cast<double>(decodedFrameCount(sound)), rate / 2.0, 64) << rate;
        EXPECT_NEAR(pitchOf(channelOf(sound, 0), rate), 1000, 10) << rate;
    }
}

TEST_F(DecodingOggVorbis, EightChannelsAreMixedDownToStereoWithTheCentreInBothSides) {
    // Vorbis' 7.1 order is L C R SL SR BL BR LFE: the tone is in the centre alone.
    std::string mono = makeSound(files, "centre.wav", "-r 44100 -c 1", "synth 0.5 sine 440 gain -6");
    ASSERT_FALSE(mono.empty());
    std::string eight = files.folder + "/eight.ogg";
    ASSERT_EQ(std::system(("sox '" + mono + "' '" + eight + "' remix 0 1 0 0 0 0 0 0").c_str()), 0);
    ASSERT_EQ(decode(fileBytes(eight)), 0u);
    EXPECT_EQ(sound.format.channels, 2);
    FrameMix mix = vorbisFrameMix(8);
    EXPECT_NEAR(levelOf(channelOf(sound, 0)), HalfSineLevel * mix.leftWeights[1], 0.01);
    EXPECT_NEAR(levelOf(channelOf(sound, 1)), HalfSineLevel * mix.rightWeights[1], 0.01);
    EXPECT_NEAR(pitchOf(channelOf(sound, 1), 44100), 440, 4);
}

TEST_F(DecodingOggVorbis, FiveOneFromTheReferenceEncoderIsRefusedRatherThanPlayedWrong) {
    std::string mono = makeSound(files, "centre.wav", "-r 44100 -c 1", "synth 0.2 sine 440 gain -6");
    ASSERT_FALSE(mono.empty());
    std::string six = files.folder + "/six.ogg";
    ASSERT_EQ(std::system(("sox '" + mono + "' '" + six + "' remix 0 1 0 0 0 0").c_str()), 0);
    EXPECT_EQ(decode(fileBytes(six)), DecoderErrorRefused);
    EXPECT_TRUE(soundIsEmpty());
}

TEST_F(DecodingOggVorbis, EveryCutOfTheFileIsRefusedAndLeavesNothing) {
    Bytes ogg = made("-r 22050 -c 2", "synth 0.3 sine 440 sine 550");
    ASSERT_EQ(decode(ogg), 0u);
    for (size_t size = 0; size < ogg.size(); ++size) {
        Bytes cut(ogg.begin(), ogg.begin() + static_cast<long>(size));
        WaveResult result = decode(cut);
        EXPECT_TRUE(result == WaveErrorNotWave || result == WaveErrorCorrupt) << size << ": " << result;
        EXPECT_TRUE(soundIsEmpty()) << size;
    }
}

TEST_F(DecodingOggVorbis, RatesNoSoundBufferPlaysAreRefused) {
    Bytes ogg = made("-r 8000 -c 1", "synth 0.1 sine 440");
    // The identification header's rate, after the page header, one segment,
    // the packet type, "vorbis", the version and the channel count.
    constexpr size_t RateAt = 27 + 1 + 1 + 6 + 4 + 1;
    ASSERT_GT(ogg.size(), RateAt + 4);
    for (uint32_t rate : {LowestRate - 1, HighestRate + 1}) {
        Bytes changed = ogg;
        for (int i = 0; i < 4; ++i) changed[RateAt + i] = static_cast<uint8_t>(rate >> (8 * i));
        EXPECT_EQ(decode(changed), WaveErrorNotWave) << rate;
        EXPECT_TRUE(soundIsEmpty());
    }
}

TEST_F(DecodingOggVorbis, OtherFilesAreNotOggVorbisAndTheFileOnDiskReadsAsItsBytes) {
    EXPECT_EQ(decode(Bytes{}), WaveErrorNotWave);
    EXPECT_EQ(decode(fileBytes(makeSound(files, "tone.wav", "-r 8000 -c 1", "synth 0.1 sine 440"))), WaveErrorNotWave);
    EXPECT_TRUE(soundIsEmpty());
    Bytes ogg = made("-r 11025 -c 1", "synth 0.2 sine 440");
    ASSERT_EQ(decode(ogg), 0u);
    DecodedSound fromFile;
    ASSERT_EQ(decodeOggFile((files.folder + "/sound.ogg").c_str(), fromFile), 0u);
    EXPECT_EQ(fromFile.samples, sound.samples);
    EXPECT_EQ(decodeOggFile((files.folder + "/none.ogg").c_str(), fromFile), WaveErrorCannotOpen);
    EXPECT_TRUE(fromFile.samples.empty());
}

}  // namespace
