// Builds the bytes of WAV files, well-formed or not, for the reader and
// sound-bank tests and the fuzzing seeds.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace wavetest {

using Bytes = std::vector<uint8_t>;

inline void appendLe16(Bytes& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void appendLe32(Bytes& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

inline void appendText(Bytes& bytes, const char* text) {
    for (const char* c = text; *c; ++c) bytes.push_back(static_cast<uint8_t>(*c));
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A chunk: id, the announced size (the body's own size unless given), the
// body and a pad byte when the body is odd.
inline Bytes chunk(const char* id, const Bytes& body, int64_t announcedSize = -1) {
    Bytes bytes;
    appendText(bytes, id);
    appendLe32(bytes, announcedSize < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(announcedSize));
    bytes.insert(bytes.end(), body.begin(), body.end());
    if (body.size() % 2) bytes.push_back(0);
    return bytes;
}

// The 16 format bytes; formatTag 1 is PCM.
inline Bytes formatFields(uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 16, uint16_t formatTag = 1) {
    Bytes bytes;
    uint16_t blockAlign = static_cast<uint16_t>(channels * bits / 8);
    appendLe16(bytes, formatTag);
    appendLe16(bytes, channels);
    appendLe32(bytes, rate);
    appendLe32(bytes, rate * blockAlign);
    appendLe16(bytes, blockAlign);
    appendLe16(bytes, bits);
    return bytes;
}

inline Bytes pcmFormatChunk(uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 16) {
    return chunk("fmt ", formatFields(channels, rate, bits));
}

// Sample bytes counting up from first, so a test can tell which bytes were copied.
inline Bytes countingBytes(size_t count, uint8_t first = 1) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

// "RIFF", the size of what follows, "WAVE" and the given chunks.
inline Bytes riffWave(const Bytes& chunks, int64_t announcedSize = -1) {
    Bytes bytes;
    appendText(bytes, "RIFF");
    appendLe32(bytes,
               announcedSize < 0 ? static_cast<uint32_t>(chunks.size() + 4) : static_cast<uint32_t>(announcedSize));
    appendText(bytes, "WAVE");
    bytes.insert(bytes.end(), chunks.begin(), chunks.end());
    return bytes;
}

inline Bytes simpleWave(const Bytes& samples) { return riffWave(concat({pcmFormatChunk(), chunk("data", samples)})); }

}  // namespace wavetest
