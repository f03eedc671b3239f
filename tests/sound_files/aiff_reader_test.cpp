#include "sound_files/aiff_reader.h"

#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>

#include "sound_files/wave_format.h"
#include "sound_files/wave_reader.h"
#include "support/aiff_bytes.h"
#include "support/program_test.h"
#include "support/temp_files.h"

using namespace aifftest;

namespace {

Bytes recordBytes(const WaveFormatRecord& format) {
    const auto* at = reinterpret_cast<const uint8_t*>(&format);
    return Bytes(at, at + sizeof format);
}

// A WAV file of the given samples and what the WAV reader makes of it.
struct WaveRead {
    Bytes record;
    Bytes samples;
};

WaveRead readWave(uint16_t channels, uint16_t bits, uint16_t formatTag, const Bytes& samples) {
    Bytes wave =
        wavetest::riffWave(concat({wavetest::chunk("fmt ", wavetest::formatFields(channels, 44100, bits, formatTag)),
                                   wavetest::chunk("data", samples)}));
    WaveRead read;
    WaveFile* file = nullptr;
    WaveFormatRecord* format = nullptr;
    WaveChunkInfo riff;
    WaveChunkInfo data;
    uint32_t copied = 0;
    read.samples.resize(samples.size() + 1);
    EXPECT_EQ(openWaveBytes(wave.data(), wave.size(), &file, &format, &riff), 0u);
    if (file && findDataChunk(file, &riff, &data) == 0 &&
        readWaveData(file, static_cast<uint32_t>(read.samples.size()), read.samples.data(), &data, &copied) == 0)
        read.record = recordBytes(*format);
    read.samples.resize(copied);
    closeWaveFile(&file, &format);
    return read;
}

Bytes floatSamples(std::initializer_list<float> values, bool bigEndian) {
    Bytes bytes;
    for (float value : values) {
        Bytes one = bigEndian ? bigEndianSamples({floatBits(value)}, 4) : littleEndianSamples({floatBits(value)}, 4);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

Bytes doubleSamples(std::initializer_list<double> values) {
    Bytes bytes;
    for (double value : values) appendBe64(bytes, doubleBits(value));
    return bytes;
}

class ReadingAiffFiles : public ProgramTest {
protected:
    // Starts from a sound that is not empty, so that a failure must empty it.
    WaveResult read(const Bytes& bytes) {
        sound.format.channels = 7;
        sound.samples.assign(3, 0x55);
        return readAiffBytes(bytes.data(), bytes.size(), sound);
    }
    bool soundIsEmpty() const { return sound.samples.empty() && recordBytes(sound.format) == Bytes(18, 0); }

    DecodedSound sound;
};

TEST_F(ReadingAiffFiles, EverySupportedKindReadsAsAWaveOfTheSameSamples) {
    const std::initializer_list<int64_t> sixteen = {1, -1, 0x1234, -32768, 32767, 300};
    const std::initializer_list<int64_t> twentyFour = {0x123456, -2, -8388608, 8388607};
    const std::initializer_list<int64_t> thirtyTwo = {0x12345678, -2, INT32_MIN, INT32_MAX};
    const std::initializer_list<int64_t> twelveBits = {0x1230, -16, 0x7FF0, -32768};  // left-justified in 16
    const std::initializer_list<int64_t> eightChannels = {1, 2, 3, 4, 5, 6, 7, 8, -1, -2, -3, -4, -5, -6, -7, -8};
    const Bytes signed8 = {0x80, 0xFF, 0x00, 0x01, 0x7F};
    const Bytes unsigned8 = {0x00, 0x7F, 0x80, 0x81, 0xFF};
    const float infinity = std::numeric_limits<float>::infinity();
    struct Kind {
        const char* name;
        Bytes aiff;
        WaveRead wave;
    };
    const Kind kinds[] = {
        {"16-bit mono AIFF", form("AIFF", concat({commonChunk(1, 6, 16), soundChunk(bigEndianSamples(sixteen, 2))})),
         readWave(1, 16, WaveFormatPcm, littleEndianSamples(sixteen, 2))},
        {"16-bit stereo AIFC NONE",
         form("AIFC", concat({commonChunk(2, 3, 16, 44100, "NONE"), soundChunk(bigEndianSamples(sixteen, 2))})),
         readWave(2, 16, WaveFormatPcm, littleEndianSamples(sixteen, 2))},
        {"16-bit stereo sowt",
         form("AIFC", concat({commonChunk(2, 3, 16, 44100, "sowt"), soundChunk(littleEndianSamples(sixteen, 2))})),
         readWave(2, 16, WaveFormatPcm, littleEndianSamples(sixteen, 2))},
        {"24-bit mono AIFF", form("AIFF", concat({commonChunk(1, 4, 24), soundChunk(bigEndianSamples(twentyFour, 3))})),
         readWave(1, 24, WaveFormatPcm, littleEndianSamples(twentyFour, 3))},
        {"24-bit stereo sowt",
         form("AIFC", concat({commonChunk(2, 2, 24, 44100, "sowt"), soundChunk(littleEndianSamples(twentyFour, 3))})),
         readWave(2, 24, WaveFormatPcm, littleEndianSamples(twentyFour, 3))},
        {"32-bit stereo AIFF",
         form("AIFF", concat({commonChunk(2, 2, 32), soundChunk(bigEndianSamples(thirtyTwo, 4))})),
         readWave(2, 32, WaveFormatPcm, littleEndianSamples(thirtyTwo, 4))},
        {"8-bit signed AIFF", form("AIFF", concat({commonChunk(1, 5, 8), soundChunk(signed8)})),
         readWave(1, 8, WaveFormatPcm, unsigned8)},
        {"8-bit sowt", form("AIFC", concat({commonChunk(1, 5, 8, 44100, "sowt"), soundChunk(signed8)})),
         readWave(1, 8, WaveFormatPcm, unsigned8)},
        {"12-bit AIFF as 16-bit",
         form("AIFF", concat({commonChunk(1, 4, 12), soundChunk(bigEndianSamples(twelveBits, 2))})),
         readWave(1, 16, WaveFormatPcm, littleEndianSamples(twelveBits, 2))},
        {"8 channels", form("AIFF", concat({commonChunk(8, 2, 16), soundChunk(bigEndianSamples(eightChannels, 2))})),
         readWave(8, 16, WaveFormatPcm, littleEndianSamples(eightChannels, 2))},
        {"fl32 stereo",
         form("AIFC", concat({commonChunk(2, 2, 32, 44100, "fl32"),
                              soundChunk(floatSamples({0.5f, -1.0f, 0.1f, 1e-20f}, true))})),
         readWave(2, 32, WaveFormatFloat, floatSamples({0.5f, -1.0f, 0.1f, 1e-20f}, false))},
        {"FL32", form("AIFC", concat({commonChunk(1, 1, 32, 44100, "FL32"), soundChunk(floatSamples({-0.25f}, true))})),
         readWave(1, 32, WaveFormatFloat, floatSamples({-0.25f}, false))},
        {"fl64 stereo as float",
         form("AIFC", concat({commonChunk(2, 3, 64, 44100, "fl64"),
                              soundChunk(doubleSamples({0.5, -0.125, 0.1, 1e-50, 1e300, -1e300}))})),
         readWave(2, 32, WaveFormatFloat,
                  floatSamples({0.5f, -0.125f, static_cast<float>(0.1), 0.0f, infinity, -infinity}, false))},
        {"FL64", form("AIFC", concat({commonChunk(1, 1, 64, 44100, "FL64"), soundChunk(doubleSamples({-0.75}))})),
         readWave(1, 32, WaveFormatFloat, floatSamples({-0.75f}, false))},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_FALSE(kind.wave.record.empty());
        ASSERT_EQ(read(kind.aiff), 0u);
        EXPECT_EQ(recordBytes(sound.format), kind.wave.record);
        EXPECT_EQ(sound.samples, kind.wave.samples);
    }
}

TEST_F(ReadingAiffFiles, RatesAreDecodedFromTheirExtendedFloatAndRoundedToWholeFrames) {
    struct Rate {
        Bytes extended;
        uint32_t expected;
    };
    const Rate rates[] = {
        {Bytes({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}), 44100},
        {Bytes({0x40, 0x0E, 0xBB, 0x80, 0, 0, 0, 0, 0, 0}), 48000},
        {Bytes({0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}), 22050},
        {Bytes({0x40, 0x0F, 0xBB, 0x80, 0, 0, 0, 0, 0, 0}), 96000},
        {Bytes({0x40, 0x0B, 0xFA, 0x00, 0, 0, 0, 0, 0, 0}), 8000},
        {extendedRate(22254.545454545), 22255},
        {extendedRate(11025.25), 11025},
        {extendedRate(0.5), 1},
        {extendedRate(4294967295.0), 4294967295u},
    };
    for (const Rate& rate : rates) {
        SCOPED_TRACE(rate.expected);
        ASSERT_EQ(read(form("AIFF", concat({commonChunk(1, 2, 8, rate.extended), soundChunk(countingBytes(2))}))), 0u);
        EXPECT_EQ(sound.format.samplesPerSec, rate.expected);
        EXPECT_EQ(sound.format.avgBytesPerSec, rate.expected);
    }
    ASSERT_EQ(read(form("AIFF", concat({commonChunk(2, 1, 24, 96000), soundChunk(countingBytes(6))}))), 0u);
    EXPECT_EQ(sound.format.avgBytesPerSec, 96000u * 6);
    EXPECT_EQ(sound.format.blockAlign, 6);
}

TEST_F(ReadingAiffFiles, ChunksAreFoundInAnyOrderAndOnlyTheFramesCount) {
    Bytes samples = bigEndianSamples({10, 20, 30, 40}, 2);
    Bytes expected = littleEndianSamples({10, 20, 30, 40}, 2);
    Bytes name = chunk("NAME", Bytes(5, 'x'));  // odd: followed by a pad byte
    const Bytes files[] = {
        // The sound before its description, past odd and empty chunks.
        form("AIFF", concat({name, soundChunk(samples), chunk("ANNO", {}), commonChunk(2, 2, 16)})),
        // An offset before the first frame, and bytes after the last.
        form("AIFF", concat({commonChunk(2, 2, 16), soundChunk(concat({samples, countingBytes(6)}), 6)})),
        // Only the first COMM and SSND count.
        form("AIFF",
             concat({commonChunk(2, 2, 16), soundChunk(samples), commonChunk(1, 1, 8), soundChunk(countingBytes(8))})),
        // A FORM and an SSND announcing more than the file holds: the frames are all there.
        form("AIFC", concat({commonChunk(2, 2, 16, 44100, "NONE"), soundChunk(samples, 0, 1 << 30)}), 0xFFFFFFFF),
    };
    for (const Bytes& file : files) {
        ASSERT_EQ(read(file), 0u);
        EXPECT_EQ(sound.samples, expected);
        EXPECT_EQ(sound.format.channels, 2);
    }
    // No frames at all is a sound of no samples.
    ASSERT_EQ(read(form("AIFF", concat({commonChunk(2, 0, 16), soundChunk({})}))), 0u);
    EXPECT_TRUE(sound.samples.empty());
    EXPECT_EQ(sound.format.blockAlign, 4);
}

TEST_F(ReadingAiffFiles, FilesThatAreNotAiffAreRefused) {
    Bytes text;
    wavetest::appendText(text, "This is a plain text file, long enough to hold a header.\n");
    const Bytes notAiff[] = {text, wavetest::simpleWave(countingBytes(4)),
                             form("8SVX", concat({commonChunk(1, 2, 8), soundChunk(countingBytes(2))}))};
    for (const Bytes& file : notAiff) {
        EXPECT_EQ(read(file), WaveErrorNotWave);
        EXPECT_TRUE(soundIsEmpty());
    }
    const Bytes headless[] = {{}, Bytes{'F', 'O', 'R'}, Bytes{'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I'}};
    for (const Bytes& file : headless) {
        EXPECT_EQ(read(file), WaveErrorChunkNotFound);
        EXPECT_TRUE(soundIsEmpty());
    }
}

TEST_F(ReadingAiffFiles, DescriptionsOfNoSoundAWaveHoldsAreRefused) {
    const Bytes infinite = Bytes({0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0});
    const Bytes noNumber = Bytes({0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0});
    Bytes fields = commonChunk(1, 2, 16);
    Bytes shortAiff = chunk("COMM", Bytes(fields.begin() + 8, fields.end() - 1));  // the rate's last byte missing
    Bytes samples = countingBytes(64);
    auto aiff = [&](const Bytes& common) { return form("AIFF", concat({common, soundChunk(samples)})); };
    const Bytes refused[] = {
        aiff(commonChunk(0, 2, 16)),
        aiff(commonChunk(0xFFFF, 2, 16)),  // -1
        aiff(commonChunk(16384, 0, 32)),   // a frame wider than a WAV's 65535 bytes
        aiff(commonChunk(1, 2, 0)),
        aiff(commonChunk(1, 2, 33)),
        aiff(commonChunk(1, 2, 0xFFFF)),
        aiff(commonChunk(1, 2, 16, 0.0)),
        aiff(commonChunk(1, 2, 16, 0.49)),
        aiff(commonChunk(1, 2, 16, -44100.0)),
        aiff(commonChunk(1, 2, 16, infinite)),
        aiff(commonChunk(1, 2, 16, noNumber)),
        aiff(commonChunk(1, 2, 16, 4294967296.0)),
        aiff(commonChunk(1, 2, 16, 4294967295.5)),
        aiff(commonChunk(2, 2, 16, 3e9)),  // its bytes a second overflow 32 bits
        aiff(shortAiff),
        form("AIFC", concat({commonChunk(1, 2, 16), soundChunk(samples)})),  // no compression type
    };
    for (const Bytes& file : refused) {
        EXPECT_EQ(read(file), WaveErrorNotWave);
        EXPECT_TRUE(soundIsEmpty());
    }
}

TEST_F(ReadingAiffFiles, CompressedAifcFilesAreRefusedAsCompressed) {
    for (const char* compression : {"ima4", "ulaw", "alaw", "MAC3"}) {
        SCOPED_TRACE(compression);
        EXPECT_EQ(read(form("AIFC", concat({commonChunk(1, 2, 16, 44100, compression), soundChunk(countingBytes(4))}))),
                  AiffErrorCompressed);
        EXPECT_TRUE(soundIsEmpty());
    }
}

TEST_F(ReadingAiffFiles, MissingChunksAndChunksOutsideTheFormAreNotFound) {
    Bytes common = commonChunk(1, 2, 16);
    Bytes samples = soundChunk(countingBytes(4));
    const Bytes files[] = {
        form("AIFF", samples),
        form("AIFF", common),
        form("AIFF", concat({common, samples}), 4 + static_cast<int64_t>(common.size())),
        // A chunk claiming almost 4 GB hides everything after it.
        form("AIFF", concat({common, chunk("APPL", Bytes(4, 'x'), 0xFFFFFFF0), samples}), 0xFFFFFFFF),
    };
    for (const Bytes& file : files) {
        EXPECT_EQ(read(file), WaveErrorChunkNotFound);
        EXPECT_TRUE(soundIsEmpty());
    }
}

TEST_F(ReadingAiffFiles, FramesTheFileDoesNotHoldAreRefusedAsCorrupt) {
    Bytes four = countingBytes(4);
    Bytes farOffset;  // the first frame almost 4 GB into the chunk
    appendBe32(farOffset, 0xFFFFFFF0);
    appendBe32(farOffset, 0);
    farOffset.insert(farOffset.end(), four.begin(), four.end());
    Bytes cutFile = form("AIFF", concat({commonChunk(1, 2, 16), soundChunk(four, 0, 1 << 20)}));
    const Bytes files[] = {
        // More frames than the SSND chunk holds, though the file goes on.
        form("AIFF", concat({commonChunk(1, 3, 16), soundChunk(four), chunk("ANNO", countingBytes(8))})),
        form("AIFF", concat({commonChunk(1, 0xFFFFFFFF, 16), soundChunk(four)})),
        form("AIFC", concat({commonChunk(8, 0xFFFFFFFF, 64, 44100, "fl64"), soundChunk(four)})),
        form("AIFF", concat({commonChunk(1, 2, 16), chunk("SSND", farOffset, 0xFFFFFFFF)})),
        form("AIFF", concat({commonChunk(1, 100, 16), soundChunk(four, 0, 1 << 20)})),
        form("AIFF", concat({commonChunk(1, 0, 16), chunk("SSND", Bytes(6, 0))})),  // no room for its offset
        Bytes(cutFile.begin(), cutFile.end() - 1),
    };
    for (const Bytes& file : files) {
        EXPECT_EQ(read(file), WaveErrorCorrupt);
        EXPECT_TRUE(soundIsEmpty());
    }
}

TEST_F(ReadingAiffFiles, EveryCutOfAFileIsRefusedOrReadsWhole) {
    // A cut file is refused, never read in part: what a prefix gives is all
    // of the file's frames or nothing. Each prefix is a heap block of exactly
    // its length, so a read past it is caught.
    Bytes soundLast = form("AIFF", concat({commonChunk(2, 3, 16), chunk("NAME", Bytes(3, 'n')),
                                           soundChunk(bigEndianSamples({1, -1, 300, -300, 32767, -32768}, 2))}));
    Bytes soundFirst =
        form("AIFC", concat({soundChunk(doubleSamples({0.5, -0.5, 0.25}), 2), commonChunk(1, 3, 64, 48000, "fl64")}));
    struct Case {
        Bytes file;
        size_t soundEnd;  // the end of the last frame
    };
    const Case cases[] = {{soundLast, soundLast.size()}, {soundFirst, 12 + 8 + 8 + 2 + 24}};
    for (const Case& each : cases) {
        DecodedSound whole;
        ASSERT_EQ(readAiffBytes(each.file.data(), each.file.size(), whole), 0u);
        for (size_t length = 0; length <= each.file.size(); ++length) {
            SCOPED_TRACE(length);
            std::unique_ptr<uint8_t[]> prefix(new uint8_t[length]);
            if (length != 0) std::memcpy(prefix.get(), each.file.data(), length);
            sound.samples.assign(3, 0x55);
            WaveResult result = readAiffBytes(prefix.get(), length, sound);
            if (length < each.soundEnd) {
                EXPECT_NE(result, 0u);
            }
            if (result == 0) {
                EXPECT_EQ(sound.samples, whole.samples);
                EXPECT_EQ(sound.samples.size() % sound.format.blockAlign, 0u);
            } else {
                EXPECT_TRUE(soundIsEmpty());
            }
        }
    }
}

TEST_F(ReadingAiffFiles, AFileOnDiskReadsExactlyAsItsBytesInMemory) {
    wavetest::TempFiles files;
    Bytes file = form("AIFC", concat({commonChunk(2, 5000, 24, 22050, "sowt"), soundChunk(countingBytes(30000), 4)}));
    DecodedSound fromMemory;
    ASSERT_EQ(readAiffBytes(file.data(), file.size(), fromMemory), 0u);
    ASSERT_EQ(readAiffFile(files.write("disk.aif", file).c_str(), sound), 0u);
    EXPECT_EQ(recordBytes(sound.format), recordBytes(fromMemory.format));
    EXPECT_EQ(sound.samples, fromMemory.samples);
    EXPECT_EQ(sound.samples.size(), 30000u);

    EXPECT_EQ(readAiffFile((files.folder + "/no such file.aif").c_str(), sound), WaveErrorCannotOpen);
    EXPECT_TRUE(soundIsEmpty());
    Bytes cut(file.begin(), file.end() - 1);
    EXPECT_EQ(readAiffFile(files.write("cut.aif", cut).c_str(), sound), WaveErrorCorrupt);
    EXPECT_EQ(readAiffFile(files.write("empty.aif", {}).c_str(), sound), WaveErrorChunkNotFound);
}

}  // namespace
