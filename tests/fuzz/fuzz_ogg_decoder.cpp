// Any bytes as an Ogg Vorbis file, decoded as the decoding thread will decode
// it. What it gives must be 16-bit PCM, mono or stereo, at a rate a sound
// buffer plays, with whole frames and no more than the largest buffer; a
// refused file leaves nothing. The seeds are small files sox wrote.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound_files/decoded_sound.h"
#include "sound_files/ogg_decoder.h"
#include "sound_files/sample_format.h"

namespace {

bool isEmpty(const DecodedSound& sound) {
    WaveFormatRecord zero{};
    return sound.samples.empty() && std::memcmp(&sound.format, &zero, sizeof zero) == 0;
}

bool isConsistent(const DecodedSound& sound) {
    const WaveFormatRecord& format = sound.format;
    if (format.formatTag != WaveFormatPcm || format.bitsPerSample != 16 || format.extraSize != 0) return false;
    if (format.channels < 1 || format.channels > 2 || format.blockAlign != format.channels * 2) return false;
    if (format.avgBytesPerSec != format.samplesPerSec * format.blockAlign) return false;
    if (sound.samples.size() % format.blockAlign != 0 || sound.samples.size() > LargestDecodedBytes) return false;
    SampleLayout layout;
    return soundLayout(format, layout);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    DecodedSound sound;
    if (decodeOggBytes(bytes, size, sound) != 0) {
        if (!isEmpty(sound)) std::abort();
        return 0;
    }
    if (!isConsistent(sound)) std::abort();
    return 0;
}
