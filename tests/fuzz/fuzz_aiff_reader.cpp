// Any bytes as an AIFF or AIFC file, read as the sound bank will read it.
// What it gives must be a WAV record and data that agree with each other and
// that the mixer takes; a file cut by its last byte reads whole or not at all.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound_files/aiff_reader.h"
#include "sound_files/sample_format.h"
#include "sound_files/wave_format.h"

namespace {

bool isEmpty(const DecodedSound& sound) {
    WaveFormatRecord zero{};
    return sound.samples.empty() && std::memcmp(&sound.format, &zero, sizeof zero) == 0;
}

bool isConsistent(const DecodedSound& sound, size_t size) {
    const WaveFormatRecord& format = sound.format;
    bool pcm = format.formatTag == WaveFormatPcm && format.bitsPerSample % 8 == 0 && format.bitsPerSample >= 8 &&
               format.bitsPerSample <= 32;
    bool isFloat = format.formatTag == WaveFormatFloat && format.bitsPerSample == 32;
    if (!(pcm || isFloat) || format.channels == 0 || format.samplesPerSec == 0 || format.extraSize != 0) return false;
    if (format.blockAlign != format.channels * (format.bitsPerSample / 8) ||
        format.avgBytesPerSec != uint64_t{format.samplesPerSec} * format.blockAlign)
        return false;
    if (sound.samples.size() % format.blockAlign != 0 || sound.samples.size() > size) return false;
    // Every sound a DirectSound buffer could play, the mixer reads too.
    SampleLayout layout;
    bool playable = format.channels <= 2 && format.samplesPerSec >= LowestRate && format.samplesPerSec <= HighestRate;
    return !playable || soundLayout(format, layout);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    DecodedSound sound;
    if (readAiffBytes(bytes, size, sound) != 0) {
        if (!isEmpty(sound)) std::abort();  // a refused file leaves nothing behind
        return 0;
    }
    if (!isConsistent(sound, size)) std::abort();
    DecodedSound cut;
    if (readAiffBytes(bytes, size - 1, cut) == 0 && cut.samples != sound.samples) std::abort();
    return 0;
}
