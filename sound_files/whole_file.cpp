#include "sound_files/whole_file.h"

#include <cstdio>
#include <new>

WaveResult readWholeFile(const char* path, uint64_t largestBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::FILE* stream = std::fopen(path, "rb");
    if (!stream) return WaveErrorCannotOpen;
    WaveResult result = 0;
    long end = -1;
    if (std::fseek(stream, 0, SEEK_END) != 0 || (end = std::ftell(stream)) < 0 || std::fseek(stream, 0, SEEK_SET) != 0)
        result = WaveErrorCannotOpen;
    if (result == 0) {
        uint64_t wanted = static_cast<uint64_t>(end) < largestBytes ? static_cast<uint64_t>(end) : largestBytes;
        try {
            bytes.resize(static_cast<size_t>(wanted));
        } catch (const std::bad_alloc&) {
            result = WaveErrorNoMemory;
        }
    }
    if (result == 0 && !bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), stream) != bytes.size())
        result = WaveErrorFileCannotRead;
    std::fclose(stream);
    return result;
}
