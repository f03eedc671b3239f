// The WAV reader's throughput on a 100 MB data chunk against a plain read of
// the same file into memory: open, find the data, read it all, as the sound
// bank does. Both read a file the page cache holds, so the ratio is the
// reader's own cost.
#include <fcntl.h>
#include <unistd.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sound_files/wave_format.h"
#include "sound_files/wave_reader.h"
#include "support/wave_bytes.h"

using namespace wavetest;

namespace {

constexpr uint32_t DataBytes = 100u << 20;

const std::string& bigWave() {
    static const std::string path = [] {
        std::string file = (std::filesystem::temp_directory_path() / "quillpad-bench-100mb.wav").string();
        Bytes header =
            riffWave(concat({pcmFormatChunk(2, 44100, 16), chunk("data", {}, DataBytes)}), 4 + 24 + 8 + DataBytes);
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (!out) std::abort();
        std::fwrite(header.data(), 1, header.size(), out);
        std::vector<uint8_t> block(1 << 20, 0x5A);
        for (uint32_t written = 0; written < DataBytes; written += block.size())
            std::fwrite(block.data(), 1, block.size(), out);
        std::fclose(out);
        // Read once, so that both measurements start from a warm page cache.
        std::vector<uint8_t> warm(1 << 20);
        std::FILE* in = std::fopen(file.c_str(), "rb");
        while (std::fread(warm.data(), 1, warm.size(), in) == warm.size()) {}
        std::fclose(in);
        return file;
    }();
    return path;
}

// The limit: the file's bytes read straight into memory by the system, no
// parsing and no library buffering.
void PlainRead(benchmark::State& state) {
    const std::string& path = bigWave();
    std::vector<uint8_t> memory(DataBytes + 44);  // the whole file
    for (auto _ : state) {
        int in = ::open(path.c_str(), O_RDONLY);
        size_t total = 0;
        for (ssize_t got; (got = ::read(in, memory.data() + total, memory.size() - total)) > 0;)
            total += static_cast<size_t>(got);
        ::close(in);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * DataBytes);
}

void WaveReader(benchmark::State& state) {
    const std::string& path = bigWave();
    std::vector<uint8_t> buffer(DataBytes + 1);  // the bank's buffer: data size + 1
    for (auto _ : state) {
        WaveFile* file = nullptr;
        WaveFormatRecord* format = nullptr;
        WaveChunkInfo riff, data;
        uint32_t copied = 0;
        if (openWaveFile(path.c_str(), &file, &format, &riff) != 0 || findDataChunk(file, &riff, &data) != 0 ||
            readWaveData(file, static_cast<uint32_t>(buffer.size()), buffer.data(), &data, &copied) != 0 ||
            copied != DataBytes)
            state.SkipWithError("the reader failed");
        closeWaveFile(&file, &format);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * DataBytes);
}

BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(WaveReader)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
