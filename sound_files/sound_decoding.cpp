#include "sound_files/sound_decoding.h"

#include <cstdio>

#include "sound_files/aiff_reader.h"
#include "sound_files/sound_file_type.h"
#include "sound_files/wave_sound.h"

namespace {

// A file that is not there is told apart from one no decoder reads.
bool canOpen(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

}  // namespace

WaveResult decodeSoundFile(const char* path, DecodedSound& sound) {
    if (!canOpen(path)) return WaveErrorCannotOpen;
    switch (soundFileType(path)) {
    case SoundFileType::Wave:
        return readWaveSound(path, sound);
    case SoundFileType::Aiff:
        return readAiffFile(path, sound);
    default:
        return DecoderErrorMissing;
    }
}
