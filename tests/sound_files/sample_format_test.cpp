// The sound formats the low-latency mixer takes, as a DirectSound buffer takes
// them, and the output formats it writes.
#include "sound_files/sample_format.h"

#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

#include "audio/mixer.h"
#include "support/mixer_output.h"
#include "support/program_test.h"

using namespace mixertest;

namespace {

// A value the test writes in every encoding exactly.
std::vector<uint8_t> encoded(SampleEncoding encoding, float value) {
    std::vector<uint8_t> bytes;
    auto littleEndian = [&bytes](int64_t number, int count) {
        for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint64_t>(number) >> (8 * i)));
    };
    switch (encoding) {
    case SampleEncoding::Unsigned8:
        bytes.push_back(static_cast<uint8_t>(128 + value * 128));
        break;
    case SampleEncoding::Signed16:
        littleEndian(static_cast<int64_t>(value * 32768), 2);
        break;
    case SampleEncoding::Signed24:
        littleEndian(static_cast<int64_t>(value * 8388608), 3);
        break;
    case SampleEncoding::Signed32:
        littleEndian(static_cast<int64_t>(static_cast<double>(value) * 2147483648.0), 4);
        break;
    case SampleEncoding::Float32:
        bytes.resize(4);
        std::memcpy(bytes.data(), &value, 4);
        break;
    }
    return bytes;
}

SoundResult createResult(const std::vector<uint8_t>& format, uint32_t bytes = 64) {
    Mixer mixer(floatStereo(), 64);
    SoundBufferDesc desc;
    desc.bufferBytes = bytes;
    desc.format = &asRecord(format);
    Voice* voice = nullptr;
    SoundResult result = mixer.CreateSoundBuffer(desc, &voice);
    if (voice) voice->Release();
    return result;
}

class SampleFormats : public ProgramTest {};

TEST_F(SampleFormats, EveryAcceptedSoundFormatPlaysItsSamplesAtTheirLevel) {
    struct Format {
        const char* name;
        SampleEncoding encoding;
        uint16_t tag, bits, extensibleTag, validBits;
    };
    const Format formats[] = {
        {"8-bit", SampleEncoding::Unsigned8, WaveFormatPcm, 8, 0, 0},
        {"16-bit", SampleEncoding::Signed16, WaveFormatPcm, 16, 0, 0},
        {"24-bit", SampleEncoding::Signed24, WaveFormatPcm, 24, 0, 0},
        {"32-bit", SampleEncoding::Signed32, WaveFormatPcm, 32, 0, 0},
        {"float", SampleEncoding::Float32, WaveFormatFloat, 32, 0, 0},
        {"extensible 16-bit", SampleEncoding::Signed16, 0, 16, WaveFormatPcm, 16},
        {"extensible 24 bits in 32", SampleEncoding::Signed32, 0, 32, WaveFormatPcm, 24},
        {"extensible float", SampleEncoding::Float32, 0, 32, WaveFormatFloat, 32},
    };
    const std::vector<float> values = {0.5f, -1.0f, 0.25f, 0.75f, -0.25f, 0.0f};  // three stereo frames
    for (const Format& f : formats) {
        for (uint16_t channels : {1, 2}) {
            Mixer mixer(floatStereo(), 64);
            std::vector<uint8_t> bytes;
            for (float value : values) {
                std::vector<uint8_t> sample = encoded(f.encoding, value);
                bytes.insert(bytes.end(), sample.begin(), sample.end());
            }
            Voice* voice = makeSoundOfBytes(
                mixer, formatRecord(f.tag, channels, 44100, f.bits, f.extensibleTag, f.validBits), bytes);
            ASSERT_NE(voice, nullptr) << f.name;
            voice->Play(0, 0, 0);
            Stereo out = renderFrames(mixer, 7);
            for (size_t n = 0; n < values.size() / channels; ++n) {
                float left = values[n * channels];
                float right = channels == 2 ? values[n * channels + 1] : left;
                EXPECT_EQ(out.left[n], left) << f.name << " channels " << channels << " frame " << n;
                EXPECT_EQ(out.right[n], right) << f.name << " channels " << channels << " frame " << n;
            }
            EXPECT_EQ(soundingLength(out.left), channels == 1 ? 5u : 3u) << f.name;
            voice->Release();
        }
    }
}

TEST_F(SampleFormats, FormatsADirectSoundBufferRefusesAreRefused) {
    EXPECT_EQ(createResult(formatRecord(2, 1, 44100, 4)), DSERR_BADFORMAT);  // compressed (ADPCM)
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 1, 44100, 12)), DSERR_BADFORMAT);
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 1, 44100, 64)), DSERR_BADFORMAT);
    EXPECT_EQ(createResult(formatRecord(WaveFormatFloat, 1, 44100, 64)), DSERR_BADFORMAT);
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 3, 44100, 16)), DSERR_BADFORMAT);
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 0, 44100, 16)), DSERR_BADFORMAT);
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 1, 99, 16)), DSERR_BADFORMAT);
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 1, 200001, 16)), DSERR_BADFORMAT);
    EXPECT_EQ(createResult(formatRecord(0, 1, 44100, 16, 2)), DSERR_BADFORMAT);  // extensible ADPCM
    EXPECT_EQ(createResult(formatRecord(0, 1, 44100, 16, WaveFormatPcm, 20)), DSERR_BADFORMAT);
    std::vector<uint8_t> misaligned = formatRecord(WaveFormatPcm, 2, 44100, 16);
    misaligned[12] = 2;  // block align of one channel
    EXPECT_EQ(createResult(misaligned), DSERR_BADFORMAT);
    std::vector<uint8_t> cutShort = formatRecord(0, 1, 44100, 16, WaveFormatPcm);
    cutShort[16] = 10;  // announces fewer extra bytes than the extensible fields need
    EXPECT_EQ(createResult(cutShort), DSERR_BADFORMAT);
    std::vector<uint8_t> otherGuid = formatRecord(0, 1, 44100, 16, WaveFormatPcm);
    otherGuid.back() ^= 1;
    EXPECT_EQ(createResult(otherGuid), DSERR_BADFORMAT);
    // The buffer sizes DirectSound takes: 4 bytes at least.
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 1, 44100, 8), 3), DSERR_INVALIDPARAM);
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 1, 100, 8), 4), DS_OK);
    EXPECT_EQ(createResult(formatRecord(WaveFormatPcm, 2, 200000, 16)), DS_OK);
}

TEST_F(SampleFormats, FloatSamplesBeyondFullScaleClipAndThoseThatAreNoNumberAreSilent) {
    Mixer mixer(floatStereo(), 64);
    std::vector<uint8_t> bytes;
    for (float value : {3.0f, -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), 0.5f}) {
        std::vector<uint8_t> sample = encoded(SampleEncoding::Float32, value);
        bytes.insert(bytes.end(), sample.begin(), sample.end());
    }
    Voice* voice = makeSoundOfBytes(mixer, formatRecord(WaveFormatFloat, 1, 44100, 32), bytes);
    voice->Play(0, 0, 0);
    Stereo out = renderFrames(mixer, 4);
    EXPECT_EQ(out.left, (std::vector<float>{1.0f, -1.0f, 0.0f, 0.5f}));
    voice->Release();
}

TEST_F(SampleFormats, TheMixIsWrittenInTheOutputsFormatWithItsFirstTwoChannelsLeftAndRight) {
    struct Output {
        SampleLayout layout;
        std::vector<uint8_t> firstFrame;  // left 0.5, right -0.25, then the other channels
    };
    const Output outputs[] = {
        {{SampleEncoding::Signed16, 2, 4, 44100}, {0x00, 0x40, 0x00, 0xE0}},
        {{SampleEncoding::Signed24, 2, 6, 44100}, {0x00, 0x00, 0x40, 0x00, 0x00, 0xE0}},
        {{SampleEncoding::Signed32, 2, 8, 44100}, {0, 0, 0, 0x40, 0, 0, 0, 0xE0}},
        {{SampleEncoding::Signed16, 1, 2, 44100}, {0x00, 0x10}},  // mono: the average, 0.125
        {{SampleEncoding::Signed16, 4, 8, 44100}, {0x00, 0x40, 0x00, 0xE0, 0, 0, 0, 0}},
    };
    for (const Output& output : outputs) {
        Mixer mixer(output.layout, 64);
        Voice* voice = makeSound(mixer, {16384, -8192}, 2);
        voice->Play(0, 0, 0);
        std::vector<uint8_t> written(2 * output.layout.blockAlign, 0xAA);
        mixer.render(2, written.data());
        EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.begin() + output.layout.blockAlign), output.firstFrame)
            << output.layout.blockAlign;
        EXPECT_EQ(std::vector<uint8_t>(written.begin() + output.layout.blockAlign, written.end()),
                  std::vector<uint8_t>(output.layout.blockAlign, 0));  // the pass has ended: silence
        voice->Release();
    }
    // Full scale either way, and past it clipped.
    uint8_t bytes[4];
    writeSample(SampleEncoding::Signed16, 1.0f, bytes);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 0x7FFF);
    writeSample(SampleEncoding::Signed24, -1.5f, bytes);
    EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16, 0x800000);
    writeSample(SampleEncoding::Signed32, 2.0f, bytes);
    EXPECT_EQ(static_cast<uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16) | static_cast<uint32_t>(bytes[3]) << 24,
              0x7FFFFFFFu);
    float clipped;
    writeSample(SampleEncoding::Float32, 1.25f, bytes);
    std::memcpy(&clipped, bytes, 4);
    EXPECT_EQ(clipped, 1.0f);
}

TEST_F(SampleFormats, OnlyOutputFormatsTheMixerWritesAreTaken) {
    SampleLayout layout;
    EXPECT_TRUE(outputLayout(asRecord(formatRecord(0, 2, 48000, 32, WaveFormatFloat)), layout));
    EXPECT_EQ(layout.encoding, SampleEncoding::Float32);
    EXPECT_EQ(layout.rate, 48000u);
    EXPECT_TRUE(outputLayout(asRecord(formatRecord(WaveFormatPcm, 6, 44100, 24)), layout));
    EXPECT_EQ(layout.channels, 6);
    EXPECT_FALSE(outputLayout(asRecord(formatRecord(WaveFormatPcm, 2, 44100, 8)), layout));
    EXPECT_FALSE(outputLayout(asRecord(formatRecord(WaveFormatFloat, 2, 44100, 64)), layout));
    EXPECT_FALSE(outputLayout(asRecord(formatRecord(WaveFormatPcm, 2, 0, 16)), layout));
}

}  // namespace
