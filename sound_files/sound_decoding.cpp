#include "sound_files/sound_decoding.h"

#include "sound_files/aiff_reader.h"
#include "sound_files/ogg_decoder.h"
#include "sound_files/sound_file_type.h"
#include "sound_files/system_decoder.h"
#include "sound_files/wave_sound.h"

WaveResult decodeSoundFile(const char* path, DecodedSound& sound) {
    sound = DecodedSound();
    switch (soundFileType(path)) {
    case SoundFileType::Wave:
        return readWaveSound(path, sound);
    case SoundFileType::Aiff:
        return readAiffFile(path, sound);
    case SoundFileType::Ogg:
        return decodeOggFile(path, sound);
    case SoundFileType::Mp3:
    case SoundFileType::Flac:
        return decodeWithSystem(path, sound);
    case SoundFileType::NotSound:
        break;
    }
    return DecoderErrorNotHandled;
}
