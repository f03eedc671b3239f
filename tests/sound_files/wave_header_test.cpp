// The header of a recording's WAV file, byte for byte, as the program's own
// reader and a fresh one read it, and as it is rewritten while the file grows.
#include "sound_files/wave_header.h"

#include <gtest/gtest.h>

#include "sound_files/sample_format.h"
#include "sound_files/wave_format.h"
#include "sound_files/wave_reader.h"
#include "support/program_test.h"
#include "support/wave_bytes.h"

using namespace wavetest;

namespace {

class WritingWaveHeaders : public ProgramTest {
protected:
    static Bytes bytesOf(const WaveHeader& header) { return Bytes(header.bytes, header.bytes + header.size); }
    static uint64_t le32At(const WaveHeader& header, size_t at) {
        const uint8_t* b = header.bytes + at;
        return uint64_t{b[0]} | uint64_t{b[1]} << 8 | uint64_t{b[2]} << 16 | uint64_t{b[3]} << 24;
    }

    // What a WAV file of float samples begins with, put together here from its chunks.
    static Bytes expectedHeader(uint16_t channels, uint32_t rate, uint32_t frames, const Bytes& formatExtra) {
        Bytes format = concat({formatFields(channels, rate, 32, channels > 2 ? 0xFFFE : 3), formatExtra});
        Bytes count;
        appendLe32(count, frames);
        uint32_t dataBytes = frames * 4 * channels;
        Bytes chunks = concat({chunk("fmt ", format), chunk("fact", count), chunk("data", {}, dataBytes)});
        return riffWave(chunks, chunks.size() + 4 + dataBytes);
    }

    // The layout the program's reader finds in the header followed by the frames' bytes.
    static SampleLayout readBack(const WaveHeader& header, uint32_t dataBytes, uint32_t& dataFound) {
        Bytes file = concat({bytesOf(header), Bytes(dataBytes, 0)});
        WaveFile* opened = nullptr;
        WaveFormatRecord* format = nullptr;
        WaveChunkInfo riff, data;
        SampleLayout layout;
        EXPECT_EQ(openWaveBytes(file.data(), file.size(), &opened, &format, &riff), 0u);
        EXPECT_EQ(findDataChunk(opened, &riff, &data), 0u);
        EXPECT_TRUE(outputLayout(*format, layout));
        dataFound = data.cksize;
        closeWaveFile(&opened, &format);
        return layout;
    }
};

TEST_F(WritingWaveHeaders, MonoAndStereoAreIeeeFloatWithAFactChunk) {
    for (uint16_t channels : {1, 2}) {
        WaveHeader header = floatWaveHeader(channels, 48000, 1000);
        EXPECT_EQ(bytesOf(header), expectedHeader(channels, 48000, 1000, {0, 0})) << channels;
        uint32_t dataFound = 0;
        SampleLayout layout = readBack(header, 1000 * 4 * channels, dataFound);
        EXPECT_EQ(layout.encoding, SampleEncoding::Float32);
        EXPECT_EQ(layout.channels, channels);
        EXPECT_EQ(layout.rate, 48000u);
        EXPECT_EQ(dataFound, 1000u * 4 * channels);
    }
}

TEST_F(WritingWaveHeaders, MoreChannelsAreExtensibleWithTheFloatSubFormatAndTheirSpeakers) {
    const struct {
        uint16_t channels;
        uint32_t speakers;
    } cases[] = {{3, 0x7}, {4, 0x33}, {6, 0x3F}, {8, 0x63F}, {10, 0}};
    for (const auto& c : cases) {
        Bytes extra;
        appendLe16(extra, 22);
        appendLe16(extra, 32);
        appendLe32(extra, c.speakers);
        extra = concat(
            {extra, {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}});
        WaveHeader header = floatWaveHeader(c.channels, 44100, 7);
        EXPECT_EQ(bytesOf(header), expectedHeader(c.channels, 44100, 7, extra)) << c.channels;
        uint32_t dataFound = 0;
        SampleLayout layout = readBack(header, 7 * 4 * c.channels, dataFound);
        EXPECT_EQ(layout.encoding, SampleEncoding::Float32);
        EXPECT_EQ(layout.channels, c.channels);
        EXPECT_EQ(dataFound, 7u * 4 * c.channels);
    }
}

TEST_F(WritingWaveHeaders, RewritingForMoreFramesKeepsItsSizeAndTheLargestFileStaysWithinRiffsSize) {
    for (uint16_t channels : {1, 2, 6}) {
        EXPECT_EQ(floatWaveHeader(channels, 96000, 0).size, floatWaveHeader(channels, 96000, 123456).size);
        uint32_t largest = largestFloatWaveFrames(channels);
        WaveHeader full = floatWaveHeader(channels, 96000, largest);
        uint64_t fileBytes = full.size + uint64_t{largest} * 4 * channels;
        EXPECT_LE(fileBytes - 8, 0xFFFFFFFFu) << channels;
        EXPECT_GT(fileBytes - 8 + 4 * channels, 0xFFFFFFFFu) << "no room for one more frame, " << channels;
        EXPECT_EQ(le32At(full, 4), fileBytes - 8);
        EXPECT_EQ(le32At(full, full.size - 12), largest) << "the fact chunk's count";
        EXPECT_EQ(le32At(full, full.size - 4), uint64_t{largest} * 4 * channels);
    }
}

}  // namespace
