#include "sound_files/sample_format.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sound_files/wave_format.h"

namespace {

// WAVE_FORMAT_EXTENSIBLE's extra bytes: valid bits, channel mask, then the
// sub-format GUID, whose first two bytes are the plain format tag and whose
// other fourteen are the same for every tag.
constexpr uint16_t ExtensibleExtraSize = 22;
constexpr int SubFormatOffset = 6;
constexpr uint8_t SubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                       0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t readLe16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

// The plain tag a record stands for, 0 when it stands for none.
uint16_t plainFormatTag(const WaveFormatRecord& format) {
    if (format.formatTag != WaveFormatExtensible) return format.formatTag;
    if (format.extraSize < ExtensibleExtraSize) return 0;
    const uint8_t* extra = reinterpret_cast<const uint8_t*>(&format) + sizeof(WaveFormatRecord);
    uint16_t validBits = readLe16(extra);
    if (validBits > format.bitsPerSample) return 0;
    const uint8_t* subFormat = extra + SubFormatOffset;
    if (std::memcmp(subFormat + 2, SubFormatTail, sizeof SubFormatTail) != 0) return 0;
    return readLe16(subFormat);
}

bool encodingOf(uint16_t tag, uint16_t bits, SampleEncoding& encoding) {
    if (tag == WaveFormatFloat && bits == 32) {
        encoding = SampleEncoding::Float32;
        return true;
    }
    if (tag != WaveFormatPcm) return false;
    switch (bits) {
    case 8:
        encoding = SampleEncoding::Unsigned8;
        return true;
    case 16:
        encoding = SampleEncoding::Signed16;
        return true;
    case 24:
        encoding = SampleEncoding::Signed24;
        return true;
    case 32:
        encoding = SampleEncoding::Signed32;
        return true;
    default:
        return false;
    }
}

bool layoutOf(const WaveFormatRecord& format, SampleLayout& layout) {
    SampleEncoding encoding;
    if (!encodingOf(plainFormatTag(format), format.bitsPerSample, encoding)) return false;
    if (format.channels == 0 || format.blockAlign != format.channels * (format.bitsPerSample / 8)) return false;
    layout.encoding = encoding;
    layout.channels = format.channels;
    layout.blockAlign = format.blockAlign;
    layout.rate = format.samplesPerSec;
    return true;
}

int32_t readLe32(const uint8_t* at) {
    uint32_t value = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                     static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
    return static_cast<int32_t>(value);
}

void writeLe(uint32_t value, int bytes, uint8_t* at) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// A clipped sample scaled to a signed integer of `bits` bits.
uint32_t scaledSample(float value, int bits) {
    value = clippedSample(value);
    double fullScale = std::ldexp(1.0, bits - 1);
    double scaled = std::nearbyint(static_cast<double>(value) * fullScale);
    return static_cast<uint32_t>(static_cast<int64_t>(std::clamp(scaled, -fullScale, fullScale - 1.0)));
}

}  // namespace

float clippedSample(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, -1.0f, 1.0f); }

bool soundLayout(const WaveFormatRecord& format, SampleLayout& layout) {
    if (format.channels > 2 || format.samplesPerSec < LowestRate || format.samplesPerSec > HighestRate) return false;
    return layoutOf(format, layout);
}

bool outputLayout(const WaveFormatRecord& format, SampleLayout& layout) {
    if (format.samplesPerSec == 0 || format.bitsPerSample == 8) return false;
    return layoutOf(format, layout);
}

float readSample(SampleEncoding encoding, const uint8_t* at) {
    switch (encoding) {
    case SampleEncoding::Unsigned8:
        return (static_cast<float>(at[0]) - 128.0f) * (1.0f / 128.0f);
    case SampleEncoding::Signed16:
        return static_cast<float>(static_cast<int16_t>(readLe16(at))) * (1.0f / 32768.0f);
    case SampleEncoding::Signed24: {
        // Read into the top three bytes, so the sign comes along.
        uint32_t value =
            static_cast<uint32_t>(at[0]) << 8 | static_cast<uint32_t>(at[1]) << 16 | static_cast<uint32_t>(at[2]) << 24;
        return static_cast<float>(static_cast<int32_t>(value)) * (1.0f / 2147483648.0f);
    }
    case SampleEncoding::Signed32:
        return static_cast<float>(readLe32(at)) * (1.0f / 2147483648.0f);
    case SampleEncoding::Float32: {
        float value;
        std::memcpy(&value, at, sizeof value);
        return clippedSample(value);
    }
    }
    return 0.0f;
}

void writeSample(SampleEncoding encoding, float value, uint8_t* at) {
    switch (encoding) {
    case SampleEncoding::Unsigned8:
        at[0] = static_cast<uint8_t>(scaledSample(value, 8) + 128);
        break;
    case SampleEncoding::Signed16:
        writeLe(scaledSample(value, 16), 2, at);
        break;
    case SampleEncoding::Signed24:
        writeLe(scaledSample(value, 24), 3, at);
        break;
    case SampleEncoding::Signed32:
        writeLe(scaledSample(value, 32), 4, at);
        break;
    case SampleEncoding::Float32: {
        float clipped = clippedSample(value);
        std::memcpy(at, &clipped, sizeof clipped);
        break;
    }
    }
}
