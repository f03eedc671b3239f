// Reads the format record and the sample bytes of a RIFF WAVE file.
//
// Limits: only the first "fmt " and the first "data" chunk inside the RIFF
// chunk count; a chunk search stays inside its parent and inside the file;
// nothing is allocated from a size read from the file except the format
// record (at most 18 + 65535 bytes). Sizes that point past the end of the
// file are not trusted: waveBytesLeft tells what the file really holds.
#pragma once
#include <cstddef>
#include <cstdint>

struct WaveFormatRecord;
struct WaveFile;  // an open file; owned by the caller until closeWaveFile

using WaveResult = uint32_t;  // 0 is success

// The reader's own codes.
constexpr WaveResult WaveErrorNoMemory = 0xE000;
constexpr WaveResult WaveErrorCannotOpen = 0xE100;
constexpr WaveResult WaveErrorNotWave = 0xE101;
constexpr WaveResult WaveErrorCannotRead = 0xE102;
constexpr WaveResult WaveErrorCorrupt = 0xE103;
// The multimedia file I/O codes the Windows chunk functions give for the same
// failures (MMIOERR_CANNOTREAD, MMIOERR_CANNOTSEEK, MMIOERR_CHUNKNOTFOUND).
constexpr WaveResult WaveErrorFileCannotRead = 261;
constexpr WaveResult WaveErrorFileCannotSeek = 263;
constexpr WaveResult WaveErrorChunkNotFound = 265;
// No open file or chunk given to readWaveData.
constexpr WaveResult WaveErrorNoBufferState = 1;

// Position of a chunk, as the Windows MMCKINFO keeps it.
struct WaveChunkInfo {
    uint32_t ckid = 0;          // four characters, first one in the low byte
    uint32_t cksize = 0;        // counts down as a data chunk is read
    uint32_t fccType = 0;       // form type of a RIFF chunk
    uint32_t dwDataOffset = 0;  // file offset of the chunk's first data byte
    uint32_t dwFlags = 0;
};

// On success the file is positioned after the "fmt " chunk, *format holds
// the record (18 bytes plus its extra bytes) and riff the RIFF chunk. On
// failure nothing is left open or allocated and both outputs are empty.
WaveResult openWaveFile(const char* path, WaveFile** file, WaveFormatRecord** format, WaveChunkInfo* riff);
// The same for a file's bytes held in memory, which must stay there until
// closeWaveFile.
WaveResult openWaveBytes(const uint8_t* bytes, size_t size, WaveFile** file, WaveFormatRecord** format,
                         WaveChunkInfo* riff);
// Finds the first "data" chunk inside the RIFF chunk and positions the file
// at its first byte.
WaveResult findDataChunk(WaveFile* file, const WaveChunkInfo* riff, WaveChunkInfo* data);
// Copies min(maxBytes, data->cksize) bytes to destination and counts them off
// data->cksize. *bytesRead is 0 after any failure; a file ending early gives
// WaveErrorCorrupt.
WaveResult readWaveData(WaveFile* file, uint32_t maxBytes, void* destination, WaveChunkInfo* data, uint32_t* bytesRead);
// Bytes from the current position to the end of the file (at most 2^32 - 1).
uint32_t waveBytesLeft(const WaveFile* file);
// Frees the record and closes the file; either may be empty. Empties both.
void closeWaveFile(WaveFile** file, WaveFormatRecord** format);

// Chunk ids as they read in the file: waveChunkId("RIFF").
constexpr uint32_t waveChunkId(const char (&id)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}
