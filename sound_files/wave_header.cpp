#include "sound_files/wave_header.h"

#include <cstring>

#include "sound_files/sample_format.h"

namespace {

constexpr uint16_t FloatBits = 32;
constexpr uint16_t PlainFormatBytes = 18;
constexpr uint16_t ExtensibleFormatBytes = 40;
constexpr uint16_t ExtensibleExtraBytes = ExtensibleFormatBytes - PlainFormatBytes;
// KSDATAFORMAT_SUBTYPE_IEEE_FLOAT: the plain tag, then the tail every such GUID shares.
constexpr uint8_t FloatSubFormat[16] = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                        0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The speakers of the usual layouts of each channel count (KSAUDIO_SPEAKER_*),
// front left and right first, as the mixer writes them; none for other counts.
uint32_t speakerMask(uint16_t channels) {
    switch (channels) {
    case 3:
        return 0x7;  // front left, right and centre
    case 4:
        return 0x33;  // quad
    case 5:
        return 0x37;  // quad and centre
    case 6:
        return 0x3F;  // 5.1
    case 7:
        return 0x13F;  // 6.1
    case 8:
        return 0x63F;  // 7.1 surround
    default:
        return 0;
    }
}

uint16_t formatBytes(uint16_t channels) { return channels > 2 ? ExtensibleFormatBytes : PlainFormatBytes; }

size_t headerBytes(uint16_t channels) {
    return 12 + (8 + formatBytes(channels)) + (8 + 4) + 8;  // RIFF, fmt, fact and data's header
}

class HeaderWriter {
public:
    explicit HeaderWriter(WaveHeader& header) : header(header) {}
    void text(const char (&id)[5]) {
        std::memcpy(header.bytes + header.size, id, 4);
        header.size += 4;
    }
    void number(uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) header.bytes[header.size++] = static_cast<uint8_t>(value >> (8 * i));
    }
    void raw(const uint8_t* bytes, size_t count) {
        std::memcpy(header.bytes + header.size, bytes, count);
        header.size += count;
    }

private:
    WaveHeader& header;
};

}  // namespace

WaveHeader floatWaveHeader(uint16_t channels, uint32_t rate, uint32_t frames) {
    const uint16_t blockAlign = static_cast<uint16_t>(channels * FloatBits / 8);
    const uint32_t dataBytes = frames * blockAlign;
    WaveHeader header;
    HeaderWriter out(header);
    out.text("RIFF");
    out.number(static_cast<uint32_t>(headerBytes(channels) - 8 + dataBytes), 4);
    out.text("WAVE");
    out.text("fmt ");
    out.number(formatBytes(channels), 4);
    out.number(channels > 2 ? WaveFormatExtensible : WaveFormatFloat, 2);
    out.number(channels, 2);
    out.number(rate, 4);
    out.number(rate * blockAlign, 4);
    out.number(blockAlign, 2);
    out.number(FloatBits, 2);
    if (channels > 2) {
        out.number(ExtensibleExtraBytes, 2);
        out.number(FloatBits, 2);  // every bit of each sample is valid
        out.number(speakerMask(channels), 4);
        out.raw(FloatSubFormat, sizeof FloatSubFormat);
    } else {
        out.number(0, 2);  // no extra bytes
    }
    out.text("fact");
    out.number(4, 4);
    out.number(frames, 4);
    out.text("data");
    out.number(dataBytes, 4);
    return header;
}

uint32_t largestFloatWaveFrames(uint16_t channels) {
    const uint64_t blockAlign = uint64_t{channels} * FloatBits / 8;
    return static_cast<uint32_t>((uint64_t{0xFFFFFFFF} - (headerBytes(channels) - 8)) / blockAlign);
}
