#include "sound_files/mp3_gapless.h"

#include <gtest/gtest.h>
#include <string>

#include "support/program_test.h"
#include "support/wave_bytes.h"

using wavetest::appendText;
using wavetest::Bytes;

namespace {

void appendBe32(Bytes& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

struct FirstFrame {
    Bytes header = {0xFF, 0xFB, 0x90, 0xC4};  // MPEG-1 layer III, no CRC, 128 kbit/s, 44100 Hz, mono
    size_t sideInformation = 17;
    const char* tag = "Info";
    uint32_t flags = 0x0F;
    const char* encoder = "LAME3.100";
    uint32_t frames = 40;
    uint32_t delay = 576;
    uint32_t padding = 1404;
};

// The first frame as LAME writes it: header, side information, the tag, its
// fields as the flags say, then LAME's extension.
Bytes frameBytes(const FirstFrame& frame) {
    Bytes bytes = frame.header;
    bytes.resize(bytes.size() + frame.sideInformation, 0);
    appendText(bytes, frame.tag);
    appendBe32(bytes, frame.flags);
    if (frame.flags & 1) appendBe32(bytes, frame.frames);
    if (frame.flags & 2) appendBe32(bytes, 17135);
    if (frame.flags & 4) bytes.resize(bytes.size() + 100, 7);
    if (frame.flags & 8) appendBe32(bytes, 57);
    appendText(bytes, frame.encoder);
    bytes.resize(bytes.size() + 12, 0x33);
    bytes.push_back(static_cast<uint8_t>(frame.delay >> 4));
    bytes.push_back(static_cast<uint8_t>((frame.delay & 0x0F) << 4 | frame.padding >> 8));
    bytes.push_back(static_cast<uint8_t>(frame.padding));
    bytes.resize(417, 0);  // the rest of the frame
    return bytes;
}

class GaplessMp3 : public ProgramTest {
protected:
    bool read(const Bytes& bytes) { return readMp3Gapless(bytes.data(), bytes.size(), gapless); }
    Mp3Gapless gapless;
};

TEST_F(GaplessMp3, LamesTagGivesTheDelayThePaddingAndTheFrames) {
    ASSERT_TRUE(read(frameBytes(FirstFrame())));
    EXPECT_EQ(gapless.encoderDelay, 576u);
    EXPECT_EQ(gapless.padding, 1404u);
    EXPECT_EQ(gapless.frameCount, 40u);
    EXPECT_EQ(gapless.samplesPerFrame, 1152u);
    EXPECT_EQ(gapless.rate, 44100u);
}

TEST_F(GaplessMp3, TheTagIsFoundAfterTheSideInformationOfEveryVersionAndMode) {
    FirstFrame stereo;
    stereo.header = {0xFF, 0xFB, 0x94, 0x04};  // MPEG-1, 48000 Hz, stereo
    stereo.sideInformation = 32;
    stereo.tag = "Xing";
    stereo.delay = 0xFFF;
    stereo.padding = 0xABC;
    ASSERT_TRUE(read(frameBytes(stereo)));
    EXPECT_EQ(gapless.encoderDelay, 0xFFFu);
    EXPECT_EQ(gapless.padding, 0xABCu);
    EXPECT_EQ(gapless.rate, 48000u);

    FirstFrame mpeg2;
    mpeg2.header = {0xFF, 0xF3, 0x80, 0x44};  // MPEG-2, 22050 Hz, joint stereo
    mpeg2.sideInformation = 17;
    ASSERT_TRUE(read(frameBytes(mpeg2)));
    EXPECT_EQ(gapless.samplesPerFrame, 576u);
    EXPECT_EQ(gapless.rate, 22050u);

    FirstFrame mpeg25;
    mpeg25.header = {0xFF, 0xE3, 0x88, 0xC4};  // MPEG-2.5, 8000 Hz, mono
    mpeg25.sideInformation = 9;
    ASSERT_TRUE(read(frameBytes(mpeg25)));
    EXPECT_EQ(gapless.rate, 8000u);

    FirstFrame crc;
    crc.header = {0xFF, 0xFA, 0x90, 0xC4, 0x12, 0x34};  // protected: two bytes of CRC first
    ASSERT_TRUE(read(frameBytes(crc)));
    EXPECT_EQ(gapless.encoderDelay, 576u);
}

TEST_F(GaplessMp3, FieldsTheFlagsLeaveOutAreSkippedRight) {
    FirstFrame framesOnly;
    framesOnly.flags = 1;
    ASSERT_TRUE(read(frameBytes(framesOnly)));
    EXPECT_EQ(gapless.frameCount, 40u);
    EXPECT_EQ(gapless.padding, 1404u);
    FirstFrame noFrames;
    noFrames.flags = 0x0E;
    ASSERT_TRUE(read(frameBytes(noFrames)));
    EXPECT_EQ(gapless.frameCount, 0u);
    EXPECT_EQ(gapless.encoderDelay, 576u);
    FirstFrame ffmpeg;
    ffmpeg.encoder = "Lavc59.37";
    EXPECT_TRUE(read(frameBytes(ffmpeg)));
}

TEST_F(GaplessMp3, FramesWithoutLamesTagOrOfNoMp3AreNotRead) {
    FirstFrame other;
    other.encoder = "GOGO-1.00";
    EXPECT_FALSE(read(frameBytes(other)));
    FirstFrame noTag;
    noTag.tag = "Junk";
    EXPECT_FALSE(read(frameBytes(noTag)));
    FirstFrame layer2;
    layer2.header = {0xFF, 0xFD, 0x90, 0xC4};
    EXPECT_FALSE(read(frameBytes(layer2)));
    FirstFrame badRate;
    badRate.header = {0xFF, 0xFB, 0x9C, 0xC4};
    EXPECT_FALSE(read(frameBytes(badRate)));
    EXPECT_FALSE(read(Bytes{}));
    EXPECT_FALSE(read(Bytes{'f', 'L', 'a', 'C', 0, 0, 0, 0x22}));
    EXPECT_EQ(gapless.encoderDelay, 0u);
    // Cut anywhere before the padding's last byte: never read past the end.
    Bytes whole = frameBytes(FirstFrame());
    size_t needed = 4 + 17 + 8 + 4 + 4 + 100 + 4 + 9 + 12 + 3;
    for (size_t size = 0; size < needed; ++size) EXPECT_FALSE(readMp3Gapless(whole.data(), size, gapless)) << size;
    EXPECT_TRUE(readMp3Gapless(whole.data(), needed, gapless));
}

TEST_F(GaplessMp3, AnId3TagAtTheStartIsMeasuredWithItsFooter) {
    Bytes tag = {'I', 'D', '3', 4, 0, 0x00, 0x00, 0x00, 0x02, 0x01};
    EXPECT_EQ(id3TagBytes(tag.data(), tag.size()), 10u + 257u);
    tag[5] = 0x10;
    EXPECT_EQ(id3TagBytes(tag.data(), tag.size()), 10u + 257u + 10u);
    tag[6] = 0x7F, tag[7] = 0x7F, tag[8] = 0x7F, tag[9] = 0x7F;
    EXPECT_EQ(id3TagBytes(tag.data(), tag.size()), 20u + 0x0FFFFFFFu);
    tag[8] = 0x80;  // no syncsafe size: no tag
    EXPECT_EQ(id3TagBytes(tag.data(), tag.size()), 0u);
    EXPECT_EQ(id3TagBytes(tag.data(), 9), 0u);
    Bytes frame = frameBytes(FirstFrame());
    EXPECT_EQ(id3TagBytes(frame.data(), frame.size()), 0u);
}

TEST_F(GaplessMp3, OnlyADecodersOwnDelayAndPaddingAreTrimmed) {
    Mp3Gapless tag{576, 1404, 40, 1152, 44100};  // 44,100 samples encoded
    uint64_t first = 7;
    uint64_t count = 7;
    // Exactly the encoder's samples already, as Media Foundation gives them under Wine.
    EXPECT_FALSE(encodedFrames(tag, 44100, first, count));
    // Every frame the tag counts.
    ASSERT_TRUE(encodedFrames(tag, 46080, first, count));
    EXPECT_EQ(first, 576u + 529u);
    EXPECT_EQ(count, 44100u);
    // And the tag's own frame, as silence.
    ASSERT_TRUE(encodedFrames(tag, 47232, first, count));
    EXPECT_EQ(first, 1152u + 576u + 529u);
    EXPECT_EQ(count, 44100u);
    // Any other count is nothing known.
    EXPECT_FALSE(encodedFrames(tag, 46079, first, count));
    EXPECT_FALSE(encodedFrames(tag, 0, first, count));
    EXPECT_FALSE(encodedFrames(Mp3Gapless{576, 1404, 0, 1152, 44100}, 46080, first, count));
    EXPECT_FALSE(encodedFrames(Mp3Gapless{4000, 4000, 2, 1152, 44100}, 2304, first, count));
    // A padding shorter than the decoder's delay keeps what is there.
    ASSERT_TRUE(encodedFrames(Mp3Gapless{576, 100, 40, 1152, 44100}, 46080, first, count));
    EXPECT_EQ(first + count, 46080u);
}

}  // namespace
