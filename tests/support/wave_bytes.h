// Builds the bytes of WAV files, well-formed or not, and writes them to a
// temporary folder for the reader and sound-bank tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
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

// Files written under a folder of the running test's own (ctest runs tests
// side by side) and removed with it at the end.
class TempFiles {
public:
    TempFiles() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "no-test";
        // Short, so tests of long paths still have room below it.
        char tag[32];
        std::snprintf(tag, sizeof tag, "qp-%zx", std::hash<std::string>{}(name));
        folder = (std::filesystem::path(::testing::TempDir()) / tag).string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~TempFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    TempFiles(const TempFiles&) = delete;
    TempFiles& operator=(const TempFiles&) = delete;

    std::string write(const std::string& name, const Bytes& bytes) {
        std::string path = folder + "/" + name;
        writeAt(path, bytes);
        return path;
    }
    void writeAt(const std::string& path, const Bytes& bytes) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path;
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    std::string folder;
};

}  // namespace wavetest
