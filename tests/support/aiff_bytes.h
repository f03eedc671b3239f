// Builds the bytes of AIFF and AIFC files, well-formed or not, for the reader
// tests and the fuzzing seeds; and the same samples as a WAV holds them.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "support/wave_bytes.h"

namespace aifftest {

using wavetest::Bytes;
using wavetest::concat;
using wavetest::countingBytes;

inline void appendBe16(Bytes& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value));
}

inline void appendBe32(Bytes& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

inline void appendBe64(Bytes& bytes, uint64_t value) {
    appendBe32(bytes, static_cast<uint32_t>(value >> 32));
    appendBe32(bytes, static_cast<uint32_t>(value));
}

// A rate as an 80-bit extended float, from the double's own fraction and
// exponent. Zero, negative and huge values are written as asked.
inline Bytes extendedRate(double rate) {
    Bytes bytes;
    if (rate == 0) return Bytes(10, 0);
    int exponent = 0;
    double fraction = std::frexp(std::fabs(rate), &exponent);  // 0.5 .. 1
    uint16_t sign = rate < 0 ? 0x8000 : 0;
    appendBe16(bytes, static_cast<uint16_t>(sign | (16383 + exponent - 1)));
    appendBe64(bytes, static_cast<uint64_t>(std::ldexp(fraction, 64)));
    return bytes;
}

// A chunk as AIFF has it: big-endian size, a pad byte after an odd body.
inline Bytes chunk(const char* id, const Bytes& body, int64_t announcedSize = -1) {
    Bytes bytes;
    wavetest::appendText(bytes, id);
    appendBe32(bytes, announcedSize < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(announcedSize));
    bytes.insert(bytes.end(), body.begin(), body.end());
    if (body.size() % 2) bytes.push_back(0);
    return bytes;
}

// COMM of an AIFF file; with a compression type, of an AIFC file.
inline Bytes commonChunk(uint16_t channels, uint32_t frames, uint16_t bits, const Bytes& rate,
                         const char* compression = nullptr) {
    Bytes body;
    appendBe16(body, channels);
    appendBe32(body, frames);
    appendBe16(body, bits);
    body.insert(body.end(), rate.begin(), rate.end());
    if (compression) {
        wavetest::appendText(body, compression);
        body.push_back(0);  // an empty name, and its pad to even length
        body.push_back(0);
    }
    return chunk("COMM", body);
}

inline Bytes commonChunk(uint16_t channels, uint32_t frames, uint16_t bits, double rate = 44100,
                         const char* compression = nullptr) {
    return commonChunk(channels, frames, bits, extendedRate(rate), compression);
}

inline Bytes soundChunk(const Bytes& samples, uint32_t offset = 0, int64_t announcedSize = -1) {
    Bytes body;
    appendBe32(body, offset);
    appendBe32(body, 0);  // block size
    body.insert(body.end(), offset, 0xAA);
    body.insert(body.end(), samples.begin(), samples.end());
    return chunk("SSND", body, announcedSize);
}

// "FORM", the size of what follows, the form type and the given chunks.
inline Bytes form(const char* type, const Bytes& chunks, int64_t announcedSize = -1) {
    Bytes bytes;
    wavetest::appendText(bytes, "FORM");
    appendBe32(bytes,
               announcedSize < 0 ? static_cast<uint32_t>(chunks.size() + 4) : static_cast<uint32_t>(announcedSize));
    wavetest::appendText(bytes, type);
    bytes.insert(bytes.end(), chunks.begin(), chunks.end());
    return bytes;
}

// Samples written big- and little-endian, `width` bytes each.
inline Bytes bigEndianSamples(std::initializer_list<int64_t> values, int width) {
    Bytes bytes;
    for (int64_t value : values)
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
    return bytes;
}

inline Bytes littleEndianSamples(std::initializer_list<int64_t> values, int width) {
    Bytes bytes;
    for (int64_t value : values)
        for (int shift = 0; shift < 8 * width; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
    return bytes;
}

inline uint32_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline uint64_t doubleBits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace aifftest
