#include "sound_files/wave_sound.h"

#include <cstring>
#include <new>

#include "sound_files/sample_format.h"

namespace {

// Of an extensible record's extra bytes, where its sub-format's tag is.
constexpr size_t SubFormatTagOffset = 6;

bool plainFormat(const WaveFormatRecord* format, WaveFormatRecord& plain) {
    std::memcpy(&plain, format, sizeof plain);
    plain.extraSize = 0;
    if (format->formatTag != WaveFormatExtensible) return true;
    if (format->extraSize < SubFormatTagOffset + 2) return false;
    const uint8_t* extra = reinterpret_cast<const uint8_t*>(format) + sizeof(WaveFormatRecord);
    plain.formatTag = static_cast<uint16_t>(extra[SubFormatTagOffset] | extra[SubFormatTagOffset + 1] << 8);
    return true;
}

WaveResult readOpenWave(WaveFile* file, const WaveFormatRecord* format, WaveChunkInfo& riff, DecodedSound& sound) {
    WaveChunkInfo data;
    WaveResult result = findDataChunk(file, &riff, &data);
    if (result != 0) return result;
    if (data.cksize > waveBytesLeft(file) || data.cksize > LargestDecodedBytes) return WaveErrorCorrupt;
    if (!plainFormat(format, sound.format)) return WaveErrorNotWave;
    try {
        sound.samples.resize(data.cksize);
    } catch (const std::bad_alloc&) {
        return WaveErrorNoMemory;
    }
    uint32_t copied = 0;
    result = readWaveData(file, data.cksize, sound.samples.data(), &data, &copied);
    if (result == 0 && copied != sound.samples.size()) result = WaveErrorCorrupt;
    return result;
}

}  // namespace

WaveResult readWaveSound(const char* path, DecodedSound& sound) {
    sound = DecodedSound{};
    WaveFile* file = nullptr;
    WaveFormatRecord* format = nullptr;
    WaveChunkInfo riff;
    WaveResult result = openWaveFile(path, &file, &format, &riff);
    if (result != 0) return result;
    result = readOpenWave(file, format, riff, sound);
    closeWaveFile(&file, &format);
    if (result != 0) sound = DecodedSound{};
    return result;
}
