#include "sound_files/aiff_reader.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "sound_files/sample_format.h"
#include "sound_files/whole_file.h"

namespace {

constexpr uint64_t ChunkHeaderBytes = 8;
constexpr uint64_t FormTypeBytes = 4;
constexpr uint64_t AiffCommonBytes = 18;  // channels, frames, sample size, rate
constexpr uint64_t AifcCommonBytes = 22;  // the same and the compression type
constexpr uint64_t SoundHeaderBytes = 8;  // SSND's offset and block size
// As in the WAV reader: nothing past it is looked at, so every size and
// offset fits the 32-bit fields of a WAV.
constexpr uint64_t LargestFileBytes = UINT32_MAX;
constexpr int LargestSampleBits = 32;

enum class SampleOrder { BigEndianInteger, LittleEndianInteger, BigEndianFloat32, BigEndianFloat64 };

struct Chunk {
    bool found = false;
    uint64_t dataOffset = 0;
    uint64_t size = 0;
};

// What COMM says, in the terms of the conversion.
struct SoundShape {
    SampleOrder order = SampleOrder::BigEndianInteger;
    uint16_t channels = 0;
    uint32_t frames = 0;
    uint32_t rate = 0;
    uint32_t fileSampleBytes = 0;  // one sample as the file holds it
    uint32_t waveSampleBytes = 0;  // and as a WAV holds it
};

uint16_t readBe16(const uint8_t* at) { return static_cast<uint16_t>(at[0] << 8 | at[1]); }

uint32_t readBe32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 | static_cast<uint32_t>(at[2]) << 8 |
           static_cast<uint32_t>(at[3]);
}

uint64_t readBe64(const uint8_t* at) { return uint64_t{readBe32(at)} << 32 | readBe32(at + 4); }

// Four characters compared as waveChunkId spells them.
uint32_t idAt(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

void writeLe32(uint32_t value, uint8_t* at) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The same steps and codes as the WAV reader's descent into RIFF.
WaveResult readFormHeader(const uint8_t* bytes, uint64_t size, bool& compressible) {
    if (size < ChunkHeaderBytes) return WaveErrorChunkNotFound;
    if (idAt(bytes) != waveChunkId("FORM")) return WaveErrorNotWave;
    if (size < ChunkHeaderBytes + FormTypeBytes) return WaveErrorChunkNotFound;
    uint32_t formType = idAt(bytes + ChunkHeaderBytes);
    if (formType != waveChunkId("AIFF") && formType != waveChunkId("AIFC")) return WaveErrorNotWave;
    compressible = formType == waveChunkId("AIFC");
    return 0;
}

// Walks the FORM chunk's sub-chunks for the first COMM and SSND. Every step
// moves on by at least a header and a header is read only when it ends
// before both the FORM's end and the file's, so no size makes the walk loop
// or read past either.
void findChunks(const uint8_t* bytes, uint64_t size, Chunk& common, Chunk& sound) {
    uint64_t formEnd = ChunkHeaderBytes + readBe32(bytes + 4);
    uint64_t limit = formEnd < size ? formEnd : size;
    uint64_t position = ChunkHeaderBytes + FormTypeBytes;
    while (position + ChunkHeaderBytes <= limit && !(common.found && sound.found)) {
        Chunk chunk{true, position + ChunkHeaderBytes, readBe32(bytes + position + 4)};
        uint32_t id = idAt(bytes + position);
        if (id == waveChunkId("COMM") && !common.found) common = chunk;
        if (id == waveChunkId("SSND") && !sound.found) sound = chunk;
        position = chunk.dataOffset + chunk.size + (chunk.size & 1);
    }
}

bool sampleOrderOf(uint32_t compression, SampleOrder& order) {
    if (compression == waveChunkId("NONE")) {
        order = SampleOrder::BigEndianInteger;
    } else if (compression == waveChunkId("sowt")) {
        order = SampleOrder::LittleEndianInteger;
    } else if (compression == waveChunkId("fl32") || compression == waveChunkId("FL32")) {
        order = SampleOrder::BigEndianFloat32;
    } else if (compression == waveChunkId("fl64") || compression == waveChunkId("FL64")) {
        order = SampleOrder::BigEndianFloat64;
    } else {
        return false;
    }
    return true;
}

// The rate is an 80-bit extended float: sign, a 15-bit exponent biased by
// 16383 and a 64-bit mantissa with its integer bit shown. Decoded in integers,
// rounded to the nearest whole rate (a WAV has no other), so every compiler
// reads it alike. False for a rate no 32-bit field holds, below one half,
// negative, infinite or no number.
bool decodeRate(const uint8_t* at, uint32_t& rate) {
    uint16_t signAndExponent = readBe16(at);
    uint64_t mantissa = readBe64(at + 2);
    if (signAndExponent & 0x8000 || (signAndExponent & 0x7FFF) == 0x7FFF) return false;
    // value = mantissa * 2^shift
    int shift = (signAndExponent & 0x7FFF) - 16383 - 63;
    uint64_t rounded = 0;
    if (shift >= 0) {
        if (shift >= 32 || mantissa > (UINT32_MAX >> shift)) return false;
        rounded = mantissa << shift;
    } else if (shift >= -64) {
        int down = -shift;
        uint64_t whole = down == 64 ? 0 : mantissa >> down;
        rounded = whole + ((mantissa >> (down - 1)) & 1);
    }
    if (rounded == 0 || rounded > UINT32_MAX) return false;
    rate = static_cast<uint32_t>(rounded);
    return true;
}

// A float's width is its compression type's; the sample size beside it is
// not needed, so it is not held against the file.
WaveResult sampleSizesOf(SampleOrder order, int16_t sampleBits, SoundShape& shape) {
    switch (order) {
    case SampleOrder::BigEndianFloat32:
        shape.fileSampleBytes = 4;
        shape.waveSampleBytes = 4;
        return 0;
    case SampleOrder::BigEndianFloat64:
        shape.fileSampleBytes = 8;
        shape.waveSampleBytes = 4;
        return 0;
    case SampleOrder::BigEndianInteger:
    case SampleOrder::LittleEndianInteger:
        break;
    }
    if (sampleBits < 1 || sampleBits > LargestSampleBits) return WaveErrorNotWave;
    // Samples of other sizes fill whole bytes, left-justified: read as the
    // containing width, they keep their scale.
    shape.fileSampleBytes = static_cast<uint32_t>(sampleBits + 7) / 8;
    shape.waveSampleBytes = shape.fileSampleBytes;
    return 0;
}

WaveResult readCommon(const uint8_t* bytes, uint64_t size, const Chunk& common, bool compressible, SoundShape& shape) {
    if (!common.found) return WaveErrorChunkNotFound;
    uint64_t needed = compressible ? AifcCommonBytes : AiffCommonBytes;
    if (common.size < needed) return WaveErrorNotWave;
    if (common.dataOffset + needed > size) return WaveErrorCannotRead;
    const uint8_t* fields = bytes + common.dataOffset;
    uint32_t compression = compressible ? idAt(fields + AiffCommonBytes) : waveChunkId("NONE");
    if (!sampleOrderOf(compression, shape.order)) return AiffErrorCompressed;
    auto channels = static_cast<int16_t>(readBe16(fields));
    shape.frames = readBe32(fields + 2);
    auto sampleBits = static_cast<int16_t>(readBe16(fields + 6));
    if (WaveResult result = sampleSizesOf(shape.order, sampleBits, shape)) return result;
    if (channels < 1 || channels * shape.waveSampleBytes > UINT16_MAX) return WaveErrorNotWave;
    shape.channels = static_cast<uint16_t>(channels);
    if (!decodeRate(fields + 8, shape.rate)) return WaveErrorNotWave;
    if (uint64_t{shape.rate} * shape.channels * shape.waveSampleBytes > UINT32_MAX) return WaveErrorNotWave;
    return 0;
}

// Where the first frame starts. The frames must lie inside the SSND chunk as
// announced and inside the file: a cut-short sound is refused, as the WAV
// path refuses a data chunk longer than its file, rather than played in part.
WaveResult findFrames(const uint8_t* bytes, uint64_t size, const Chunk& sound, const SoundShape& shape,
                      uint64_t& start) {
    if (!sound.found) return WaveErrorChunkNotFound;
    if (sound.size < SoundHeaderBytes || sound.dataOffset + SoundHeaderBytes > size) return WaveErrorCorrupt;
    start = sound.dataOffset + SoundHeaderBytes + readBe32(bytes + sound.dataOffset);
    uint64_t end = start + uint64_t{shape.frames} * shape.channels * shape.fileSampleBytes;
    if (end > sound.dataOffset + sound.size || end > size) return WaveErrorCorrupt;
    return 0;
}

WaveFormatRecord waveFormatOf(const SoundShape& shape) {
    bool isFloat = shape.order == SampleOrder::BigEndianFloat32 || shape.order == SampleOrder::BigEndianFloat64;
    WaveFormatRecord format{};
    format.formatTag = isFloat ? WaveFormatFloat : WaveFormatPcm;
    format.channels = shape.channels;
    format.samplesPerSec = shape.rate;
    format.blockAlign = static_cast<uint16_t>(shape.channels * shape.waveSampleBytes);
    format.avgBytesPerSec = shape.rate * format.blockAlign;
    format.bitsPerSample = static_cast<uint16_t>(shape.waveSampleBytes * 8);
    format.extraSize = 0;
    return format;
}

// A float holds no larger value; the mixer clips far below it anyway.
float narrowedSample(double value) {
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value < 0 ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

void convertSamples(const uint8_t* from, const SoundShape& shape, size_t count, uint8_t* to) {
    uint32_t width = shape.fileSampleBytes;
    if (count == 0) return;
    if (shape.order == SampleOrder::BigEndianFloat64) {
        for (size_t i = 0; i < count; ++i, from += 8, to += 4) {
            uint64_t bits = readBe64(from);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            float narrowed = narrowedSample(value);
            uint32_t narrowedBits;
            std::memcpy(&narrowedBits, &narrowed, sizeof narrowedBits);
            writeLe32(narrowedBits, to);
        }
    } else if (width == 1) {
        // AIFF's 8-bit samples are signed, a WAV's unsigned.
        for (size_t i = 0; i < count; ++i) to[i] = static_cast<uint8_t>(from[i] ^ 0x80);
    } else if (shape.order == SampleOrder::LittleEndianInteger) {
        std::memcpy(to, from, count * width);
    } else {
        for (size_t i = 0; i < count; ++i, from += width, to += width)
            for (uint32_t b = 0; b < width; ++b) to[b] = from[width - 1 - b];
    }
}

}  // namespace

WaveResult readAiffBytes(const uint8_t* bytes, size_t size, DecodedSound& sound) {
    sound.format = WaveFormatRecord{};
    sound.samples.clear();
    uint64_t held = size < LargestFileBytes ? size : LargestFileBytes;
    bool compressible = false;
    if (WaveResult result = readFormHeader(bytes, held, compressible)) return result;
    Chunk common;
    Chunk soundData;
    findChunks(bytes, held, common, soundData);
    SoundShape shape;
    if (WaveResult result = readCommon(bytes, held, common, compressible, shape)) return result;
    uint64_t start = 0;
    if (WaveResult result = findFrames(bytes, held, soundData, shape, start)) return result;
    // Never more than the file holds: each sample is as wide or wider in the file.
    size_t count = static_cast<size_t>(uint64_t{shape.frames} * shape.channels);
    try {
        sound.samples.resize(count * shape.waveSampleBytes);
    } catch (const std::bad_alloc&) {
        return WaveErrorNoMemory;
    }
    convertSamples(bytes + start, shape, count, sound.samples.data());
    sound.format = waveFormatOf(shape);
    return 0;
}

WaveResult readAiffFile(const char* path, DecodedSound& sound) {
    sound.format = WaveFormatRecord{};
    sound.samples.clear();
    std::vector<uint8_t> bytes;
    if (WaveResult result = readWholeFile(path, LargestFileBytes, bytes)) return result;
    return readAiffBytes(bytes.data(), bytes.size(), sound);
}
