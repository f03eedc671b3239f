#include "sound_files/sound_decoding.h"

#include "sound_files/aiff_reader.h"
#include "sound_files/sound_file_type.h"
#include "sound_files/wave_sound.h"

WaveResult decodeSoundFile(const char* path, DecodedSound& sound) {
    switch (soundFileType(path)) {
    case SoundFileType::Wave:
        return readWaveSound(path, sound);
    case SoundFileType::Aiff:
        return readAiffFile(path, sound);
    default:
        return DecoderErrorMissing;
    }
}
