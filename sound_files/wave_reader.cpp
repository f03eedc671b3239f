#include "sound_files/wave_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "sound_files/wave_format.h"

namespace {

// Where the bytes come from: a file on disk or bytes in memory, read the same
// way, so that what is tested and fuzzed in memory is what reads files.
class WaveSource {
public:
    virtual ~WaveSource() = default;
    virtual bool measure(uint64_t* size) = 0;  // the whole size; false when it cannot be told
    virtual bool seek(uint64_t offset) = 0;
    virtual uint32_t read(void* destination, uint32_t count) = 0;
    virtual bool readFailed() const = 0;  // a read error, as opposed to the end
};

class FileSource : public WaveSource {
public:
    explicit FileSource(std::FILE* stream) : stream(stream) {}
    ~FileSource() override { std::fclose(stream); }
    bool measure(uint64_t* size) override {
        if (std::fseek(stream, 0, SEEK_END) != 0) return false;
        long end = std::ftell(stream);
        if (end < 0 || std::fseek(stream, 0, SEEK_SET) != 0) return false;
        *size = static_cast<uint64_t>(end);
        return true;
    }
    bool seek(uint64_t offset) override { return std::fseek(stream, static_cast<long>(offset), SEEK_SET) == 0; }
    // One block read straight into the destination; stdio bypasses its own
    // buffer for a request of sample-data size.
    uint32_t read(void* destination, uint32_t count) override {
        return static_cast<uint32_t>(std::fread(destination, 1, count, stream));
    }
    bool readFailed() const override { return std::ferror(stream) != 0; }

private:
    std::FILE* stream;
};

class MemorySource : public WaveSource {
public:
    MemorySource(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}
    bool measure(uint64_t* measured) override {
        *measured = size;
        return true;
    }
    bool seek(uint64_t offset) override {
        position = offset < size ? static_cast<size_t>(offset) : size;
        return true;
    }
    uint32_t read(void* destination, uint32_t count) override {
        size_t left = size - position;
        uint32_t got = count < left ? count : static_cast<uint32_t>(left);
        if (got != 0) std::memcpy(destination, bytes + position, got);
        position += got;
        return got;
    }
    bool readFailed() const override { return false; }

private:
    const uint8_t* bytes;
    size_t size;
    size_t position = 0;
};

}  // namespace

struct WaveFile {
    std::unique_ptr<WaveSource> source;
    // Measured at open and capped at 2^32 - 1 so every offset fits a chunk
    // info field; nothing past it is ever looked at.
    uint64_t size = 0;
    uint64_t position = 0;
};

namespace {

constexpr uint32_t ChunkHeaderBytes = 8;
constexpr uint32_t FormTypeBytes = 4;
constexpr uint32_t FormatFieldBytes = 16;
constexpr uint32_t FormatHeaderBytes = sizeof(WaveFormatRecord);  // 18: the fields and the extra size

uint16_t readLe16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

uint32_t readLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint32_t readBytes(WaveFile* file, void* destination, uint32_t count) {
    uint32_t got = file->source->read(destination, count);
    file->position += got;
    return got;
}

// Seeking past the end lands at the end: the next read then finds nothing.
bool seekTo(WaveFile* file, uint64_t offset) {
    if (offset > file->size) offset = file->size;
    if (!file->source->seek(offset)) return false;
    file->position = offset;
    return true;
}

uint64_t chunkEnd(const WaveChunkInfo& chunk) { return uint64_t{chunk.dwDataOffset} + chunk.cksize; }

// Reads a chunk header at the current position into chunk.
bool readChunkHeader(WaveFile* file, WaveChunkInfo* chunk) {
    uint64_t start = file->position;
    uint8_t header[ChunkHeaderBytes];
    if (readBytes(file, header, ChunkHeaderBytes) < ChunkHeaderBytes) return false;
    *chunk = WaveChunkInfo{};
    chunk->ckid = readLe32(header);
    chunk->cksize = readLe32(header + 4);
    chunk->dwDataOffset = static_cast<uint32_t>(start + ChunkHeaderBytes);
    return true;
}

// Searches the sub-chunks of parent from the current position for id and
// leaves the file at the found chunk's data. Every step moves on by at least
// a header and the search ends at the parent's end or the file's end,
// whichever comes first, so no size can make it loop or read past either.
WaveResult findChunk(WaveFile* file, uint32_t id, const WaveChunkInfo& parent, WaveChunkInfo* found) {
    uint64_t limit = chunkEnd(parent) < file->size ? chunkEnd(parent) : file->size;
    for (;;) {
        if (file->position + ChunkHeaderBytes > limit) return WaveErrorChunkNotFound;
        WaveChunkInfo chunk;
        if (!readChunkHeader(file, &chunk)) return WaveErrorChunkNotFound;
        if (chunk.ckid == id) {
            *found = chunk;
            return 0;
        }
        uint64_t next = chunkEnd(chunk) + (chunk.cksize & 1);
        if (!seekTo(file, next)) return WaveErrorFileCannotSeek;
    }
}

WaveResult descendIntoRiff(WaveFile* file, WaveChunkInfo* riff) {
    if (!readChunkHeader(file, riff)) return WaveErrorChunkNotFound;
    if (riff->ckid != waveChunkId("RIFF")) return WaveErrorNotWave;
    uint8_t formType[FormTypeBytes];
    if (readBytes(file, formType, FormTypeBytes) < FormTypeBytes) return WaveErrorChunkNotFound;
    riff->fccType = readLe32(formType);
    if (riff->fccType != waveChunkId("WAVE")) return WaveErrorNotWave;
    return 0;
}

// The extra size is read only for formats other than PCM, and only when the
// chunk holds it: a 16-byte "fmt " chunk has no extra bytes, and an extra
// size larger than what the chunk holds after its 18 bytes is refused, so
// the next chunk's bytes are never taken for format bytes.
WaveResult readExtraSize(WaveFile* file, uint16_t formatTag, const WaveChunkInfo& fmt, uint16_t* extraSize) {
    *extraSize = 0;
    if (formatTag == WaveFormatPcm || fmt.cksize < FormatHeaderBytes) return 0;
    uint8_t bytes[2];
    if (readBytes(file, bytes, 2) < 2) return WaveErrorCannotRead;
    *extraSize = readLe16(bytes);
    if (*extraSize > fmt.cksize - FormatHeaderBytes) return WaveErrorNotWave;
    return 0;
}

WaveResult readFormatChunk(WaveFile* file, const WaveChunkInfo& riff, WaveFormatRecord** format) {
    WaveChunkInfo fmt;
    if (WaveResult result = findChunk(file, waveChunkId("fmt "), riff, &fmt)) return result;
    if (fmt.cksize < FormatFieldBytes) return WaveErrorNotWave;
    uint8_t fields[FormatFieldBytes];
    if (readBytes(file, fields, FormatFieldBytes) < FormatFieldBytes) return WaveErrorCannotRead;
    uint16_t formatTag = readLe16(fields);
    uint16_t extraSize = 0;
    if (WaveResult result = readExtraSize(file, formatTag, fmt, &extraSize)) return result;

    auto* record = static_cast<WaveFormatRecord*>(std::malloc(FormatHeaderBytes + extraSize));
    if (!record) return WaveErrorNoMemory;
    *format = record;
    record->formatTag = formatTag;
    record->channels = readLe16(fields + 2);
    record->samplesPerSec = readLe32(fields + 4);
    record->avgBytesPerSec = readLe32(fields + 8);
    record->blockAlign = readLe16(fields + 12);
    record->bitsPerSample = readLe16(fields + 14);
    record->extraSize = extraSize;
    uint8_t* extraBytes = reinterpret_cast<uint8_t*>(record) + FormatHeaderBytes;
    if (extraSize != 0 && readBytes(file, extraBytes, extraSize) < extraSize) return WaveErrorNotWave;

    if (!seekTo(file, chunkEnd(fmt) + (fmt.cksize & 1))) return WaveErrorFileCannotSeek;
    return 0;
}

// Takes the source; on failure it is closed again.
WaveResult openWaveSource(std::unique_ptr<WaveSource> source, WaveFile** file, WaveFormatRecord** format,
                          WaveChunkInfo* riff) {
    *file = nullptr;
    *format = nullptr;
    *riff = WaveChunkInfo{};
    if (!source) return WaveErrorNoMemory;
    auto* opened = new (std::nothrow) WaveFile;
    if (!opened) return WaveErrorNoMemory;
    uint64_t size = 0;
    WaveResult result = source->measure(&size) ? 0 : WaveErrorCannotOpen;
    opened->source = std::move(source);
    opened->size = size > UINT32_MAX ? UINT32_MAX : size;
    if (result == 0) result = descendIntoRiff(opened, riff);
    if (result == 0) result = readFormatChunk(opened, *riff, format);
    if (result != 0) {
        closeWaveFile(&opened, format);
        *riff = WaveChunkInfo{};
        return result;
    }
    *file = opened;
    return 0;
}

}  // namespace

WaveResult openWaveFile(const char* path, WaveFile** file, WaveFormatRecord** format, WaveChunkInfo* riff) {
    *file = nullptr;
    *format = nullptr;
    *riff = WaveChunkInfo{};
    std::FILE* stream = std::fopen(path, "rb");
    if (!stream) return WaveErrorCannotOpen;
    std::unique_ptr<WaveSource> source(new (std::nothrow) FileSource(stream));
    if (!source) {
        std::fclose(stream);
        return WaveErrorNoMemory;
    }
    return openWaveSource(std::move(source), file, format, riff);
}

WaveResult openWaveBytes(const uint8_t* bytes, size_t size, WaveFile** file, WaveFormatRecord** format,
                         WaveChunkInfo* riff) {
    return openWaveSource(std::unique_ptr<WaveSource>(new (std::nothrow) MemorySource(bytes, size)), file, format,
                          riff);
}

WaveResult findDataChunk(WaveFile* file, const WaveChunkInfo* riff, WaveChunkInfo* data) {
    seekTo(file, uint64_t{riff->dwDataOffset} + FormTypeBytes);
    return findChunk(file, waveChunkId("data"), *riff, data);
}

WaveResult readWaveData(WaveFile* file, uint32_t maxBytes, void* destination, WaveChunkInfo* data,
                        uint32_t* bytesRead) {
    *bytesRead = 0;
    if (!file || !data) return WaveErrorNoBufferState;
    uint32_t count = maxBytes < data->cksize ? maxBytes : data->cksize;
    if (count != 0 && !destination) return WaveErrorNoBufferState;
    data->cksize -= count;
    if (count == 0) return 0;
    if (readBytes(file, destination, count) < count)
        return file->source->readFailed() ? WaveErrorFileCannotRead : WaveErrorCorrupt;
    *bytesRead = count;
    return 0;
}

uint32_t waveBytesLeft(const WaveFile* file) {
    if (!file || file->position >= file->size) return 0;
    return static_cast<uint32_t>(file->size - file->position);
}

void closeWaveFile(WaveFile** file, WaveFormatRecord** format) {
    if (format && *format) {
        std::free(*format);
        *format = nullptr;
    }
    if (file && *file) {
        delete *file;
        *file = nullptr;
    }
}
