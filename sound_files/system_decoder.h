// Platform seam: the system's own decoders (Media Foundation on Windows) for
// the compressed formats the program does not decode itself, MP3 and FLAC
// first of them. Defined in sound_files/system_decoder_win32.cpp, faked in
// tests. Called on the program's decoding thread, never the program's own.
#pragma once

#include "sound_files/decoded_sound.h"

// Decodes the whole file at path (in the program's text, UTF-8 under its
// manifest) into the sound: 16-bit PCM, or 32-bit float where the file's
// samples have more bits than 16; mono or stereo, more channels mixed down as
// decoded_frames.h says. An MP3 whose first frame tells the encoder's delay
// and padding (a LAME tag) keeps exactly the encoder's samples, so a loop of
// it is seamless. On failure the sound is empty:
//   DecoderErrorMissing   no Media Foundation on this system (Windows N)
//   DecoderErrorRefused   the system cannot read this file: damaged, or of a
//                         kind it has no decoder for
//   WaveErrorCannotOpen   the path is no text Windows can take
//   WaveErrorCorrupt      the file broke off while it was decoded
//   WaveErrorNotWave      no rate or channels a sound buffer plays
//   DecoderErrorTooLong, WaveErrorNoMemory
WaveResult decodeWithSystem(const char* utf8Path, DecodedSound& sound);
