#include "sound_files/sound_decoding.h"

#include <gtest/gtest.h>
#include <string>

#include "fakes/call_log.h"
#include "fakes/fake_system_decoder.h"
#include "sound_files/decoded_frames.h"
#include "support/program_test.h"
#include "support/sox_sounds.h"

using namespace soxtest;

namespace {

class DecodingSoundFiles : public ProgramTest {
protected:
    wavetest::TempFiles files;
    DecodedSound sound;
};

TEST_F(DecodingSoundFiles, AiffAndOggAreReadHereAndMp3AndFlacByTheSystem) {
    std::string aiff = makeSound(files, "tone.aiff", "-r 22050 -c 2 -b 16", "synth 0.1 sine 440");
    std::string ogg = makeSound(files, "tone.OGG", "-r 22050 -c 1", "synth 0.1 sine 440");
    ASSERT_FALSE(aiff.empty());
    ASSERT_FALSE(ogg.empty());
    ASSERT_EQ(decodeSoundFile(aiff.c_str(), sound), 0u);
    EXPECT_EQ(sound.format.channels, 2);
    EXPECT_EQ(decodedFrameCount(sound), 2205u);
    ASSERT_EQ(decodeSoundFile(ogg.c_str(), sound), 0u);
    EXPECT_EQ(sound.format.channels, 1);
    EXPECT_EQ(sound.format.samplesPerSec, 22050u);

    DecodedSound fromSystem;
    startDecodedSound(44100, waveFrameMix(2, 0), SampleEncoding::Signed16, fromSystem);
    fromSystem.samples.assign(8, 1);
    fakeSystemDecoder.sounds["C:\\loops\\a.mp3"] = fromSystem;
    fakeSystemDecoder.sounds["C:\\loops\\b.Flac"] = fromSystem;
    ASSERT_EQ(decodeSoundFile("C:\\loops\\a.mp3", sound), 0u);
    EXPECT_EQ(sound.samples, fromSystem.samples);
    ASSERT_EQ(decodeSoundFile("C:\\loops\\b.Flac", sound), 0u);
    EXPECT_EQ(fakeSystemDecoder.asked(), (std::vector<std::string>{"C:\\loops\\a.mp3", "C:\\loops\\b.Flac"}));
}

TEST_F(DecodingSoundFiles, ASystemWithoutDecodersSaysSoApartFromABrokenFile) {
    std::string broken = files.write("broken.ogg", wavetest::Bytes(100, 0x4F));
    EXPECT_EQ(decodeSoundFile(broken.c_str(), sound), WaveErrorNotWave);
    EXPECT_EQ(decodeSoundFile("C:\\x\\unknown.mp3", sound), DecoderErrorRefused);
    fakeSystemDecoder.missing = true;
    EXPECT_EQ(decodeSoundFile("C:\\x\\unknown.mp3", sound), DecoderErrorMissing);
    EXPECT_EQ(decodeSoundFile("C:\\x\\a.flac", sound), DecoderErrorMissing);
    EXPECT_TRUE(sound.samples.empty());
}

TEST_F(DecodingSoundFiles, AWavIsReadWholeAndOtherNamesAreLeftAlone) {
    std::string wave = makeSound(files, "tone.wav", "-r 8000 -c 1", "synth 0.1 sine 440");
    ASSERT_EQ(decodeSoundFile(wave.c_str(), sound), 0u);
    EXPECT_EQ(sound.format.samplesPerSec, 8000u);
    EXPECT_EQ(sound.samples.size(), 800u * sound.format.blockAlign);
    EXPECT_EQ(decodeSoundFile("setup.qpd", sound), DecoderErrorNotHandled);
    EXPECT_EQ(decodeSoundFile((files.folder + "/none.aif").c_str(), sound), WaveErrorCannotOpen);
    EXPECT_TRUE(fakeSystemDecoder.asked().empty());
}

}  // namespace
