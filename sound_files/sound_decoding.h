// The one entry point of the decoding thread: any sound file read whole.
#pragma once

#include "sound_files/decoded_sound.h"
#include "sound_files/wave_reader.h"

// No decoder for this kind of file on this system.
constexpr WaveResult DecoderErrorMissing = 0xE105;

WaveResult decodeSoundFile(const char* path, DecodedSound& sound);
