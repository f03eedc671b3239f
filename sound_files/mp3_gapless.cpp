#include "sound_files/mp3_gapless.h"

#include <cstring>

namespace {

constexpr size_t Id3HeaderBytes = 10;
constexpr size_t FrameHeaderBytes = 4;
constexpr size_t CrcBytes = 2;
constexpr size_t TableOfContentsBytes = 100;
constexpr size_t LameVersionBytes = 9;
// From the end of the version: revision and VBR method, lowpass, replay gain,
// encoding flags and ATH, bitrate; then the delay and padding, 12 bits each.
constexpr size_t LameDelayOffset = LameVersionBytes + 12;

enum XingFlags : uint32_t { HasFrames = 1, HasBytes = 2, HasTableOfContents = 4, HasQuality = 8 };

constexpr uint32_t Mpeg1Rates[] = {44100, 48000, 32000};

struct FrameHeader {
    bool mpeg1 = false;
    bool mono = false;
    bool crc = false;
    uint32_t rate = 0;
};

uint32_t readBe32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 | static_cast<uint32_t>(at[2]) << 8 |
           static_cast<uint32_t>(at[3]);
}

// A layer III header of a known version and rate.
bool readFrameHeader(const uint8_t* at, FrameHeader& header) {
    if (at[0] != 0xFF || (at[1] & 0xE0) != 0xE0) return false;
    unsigned version = (at[1] >> 3) & 3;  // 0: MPEG-2.5, 1: none, 2: MPEG-2, 3: MPEG-1
    unsigned layer = (at[1] >> 1) & 3;    // 1: layer III
    unsigned rateIndex = (at[2] >> 2) & 3;
    unsigned bitrateIndex = at[2] >> 4;
    if (version == 1 || layer != 1 || rateIndex == 3 || bitrateIndex == 15) return false;
    header.mpeg1 = version == 3;
    header.mono = (at[3] >> 6) == 3;
    header.crc = (at[1] & 1) == 0;
    header.rate = Mpeg1Rates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    return true;
}

size_t sideInformationBytes(const FrameHeader& header) {
    if (header.mpeg1) return header.mono ? 17 : 32;
    return header.mono ? 9 : 17;
}

bool isXingTag(const uint8_t* at) { return std::memcmp(at, "Xing", 4) == 0 || std::memcmp(at, "Info", 4) == 0; }

// LAME and FFmpeg's encoder (which writes the same extension) name themselves.
bool isLameExtension(const uint8_t* at) {
    return std::memcmp(at, "LAME", 4) == 0 || std::memcmp(at, "Lavc", 4) == 0 || std::memcmp(at, "Lavf", 4) == 0;
}

}  // namespace

size_t id3TagBytes(const uint8_t* bytes, size_t size) {
    if (size < Id3HeaderBytes || std::memcmp(bytes, "ID3", 3) != 0) return 0;
    // Four 7-bit bytes; a high bit set means no ID3 tag at all.
    if ((bytes[6] | bytes[7] | bytes[8] | bytes[9]) & 0x80) return 0;
    size_t body = size_t{bytes[6]} << 21 | size_t{bytes[7]} << 14 | size_t{bytes[8]} << 7 | bytes[9];
    bool footer = bytes[5] & 0x10;
    return Id3HeaderBytes + body + (footer ? Id3HeaderBytes : 0);
}

bool readMp3Gapless(const uint8_t* bytes, size_t size, Mp3Gapless& gapless) {
    gapless = Mp3Gapless();
    FrameHeader header;
    if (size < FrameHeaderBytes || !readFrameHeader(bytes, header)) return false;
    size_t at = FrameHeaderBytes + (header.crc ? CrcBytes : 0) + sideInformationBytes(header);
    if (at + 8 > size || !isXingTag(bytes + at)) return false;
    uint32_t flags = readBe32(bytes + at + 4);
    at += 8;
    uint32_t frames = 0;
    if (flags & HasFrames) {
        if (at + 4 > size) return false;
        frames = readBe32(bytes + at);
        at += 4;
    }
    if (flags & HasBytes) at += 4;
    if (flags & HasTableOfContents) at += TableOfContentsBytes;
    if (flags & HasQuality) at += 4;
    if (at + LameDelayOffset + 3 > size || !isLameExtension(bytes + at)) return false;
    const uint8_t* delayAndPadding = bytes + at + LameDelayOffset;
    gapless.encoderDelay = static_cast<uint32_t>(delayAndPadding[0]) << 4 | delayAndPadding[1] >> 4;
    gapless.padding = static_cast<uint32_t>(delayAndPadding[1] & 0x0F) << 8 | delayAndPadding[2];
    gapless.frameCount = frames;
    gapless.samplesPerFrame = header.mpeg1 ? 1152 : 576;
    gapless.rate = header.rate;
    return true;
}

bool encodedFrames(const Mp3Gapless& gapless, uint64_t decodedFrames, uint64_t& first, uint64_t& count) {
    uint64_t framed = uint64_t{gapless.frameCount} * gapless.samplesPerFrame;
    uint64_t added = uint64_t{gapless.encoderDelay} + gapless.padding;
    if (framed == 0 || added >= framed) return false;
    uint64_t encoded = framed - added;
    if (decodedFrames == framed) {
        first = uint64_t{gapless.encoderDelay} + Mp3DecoderDelay;
    } else if (decodedFrames == framed + gapless.samplesPerFrame) {
        first = gapless.samplesPerFrame + uint64_t{gapless.encoderDelay} + Mp3DecoderDelay;
    } else {
        return false;
    }
    if (first >= decodedFrames) return false;
    count = encoded < decodedFrames - first ? encoded : decodedFrames - first;
    return true;
}
