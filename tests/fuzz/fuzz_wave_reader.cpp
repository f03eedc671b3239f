// Any bytes as a WAV file: open it, find its data and read all of it, as the
// sound bank does. Whatever is copied must be the file's own bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sound_files/wave_format.h"
#include "sound_files/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    WaveFile* file = nullptr;
    WaveFormatRecord* format = nullptr;
    WaveChunkInfo riff;
    if (openWaveBytes(bytes, size, &file, &format, &riff) != 0) {
        if (file || format) std::abort();  // a failed open leaves nothing behind
        return 0;
    }
    // The record is as long as it says: its extra bytes are readable.
    volatile uint8_t last = reinterpret_cast<const uint8_t*>(format)[sizeof(WaveFormatRecord) + format->extraSize - 1];
    (void)last;
    WaveChunkInfo data;
    if (findDataChunk(file, &riff, &data) == 0) {
        // The sound bank reads into a buffer of the announced size + 1; a bounded
        // one here, in two reads, so a size can never make the target allocate much.
        uint32_t want = data.cksize < (1u << 16) ? data.cksize : (1u << 16);
        std::vector<uint8_t> destination(want / 2 + 1);
        uint32_t offset = data.dwDataOffset;
        for (uint32_t part : {want / 2, want - want / 2}) {
            uint32_t copied = 0;
            destination.resize(part + 1);
            if (readWaveData(file, part, destination.data(), &data, &copied) != 0) break;
            if (copied != part || offset + uint64_t{copied} > size ||
                std::memcmp(destination.data(), bytes + offset, copied) != 0)
                std::abort();  // the copy is exactly the file's bytes at the data chunk
            offset += copied;
        }
    }
    closeWaveFile(&file, &format);
    if (file || format) std::abort();
    return 0;
}
