// A WAV file read whole into memory, for a key's own file: the list's WAV
// files go straight into their buffers (audio/sound_bank.cpp).
#pragma once

#include "sound_files/decoded_sound.h"
#include "sound_files/wave_reader.h"

// The reader's codes; a WAVE_FORMAT_EXTENSIBLE record comes out as the plain
// PCM or float record of the same samples, so the format needs no extra bytes.
WaveResult readWaveSound(const char* path, DecodedSound& sound);
