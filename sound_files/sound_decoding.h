// The one door to every decoder, for the program's decoding thread: a sound
// file of any kind the program plays besides WAV, chosen by its extension.
#pragma once

#include "sound_files/decoded_sound.h"

// AIFF and AIFC through the AIFF reader, Ogg Vorbis through the Ogg decoder,
// MP3 and FLAC through the system's decoders. The sound is empty after any
// failure, which is the chosen reader's code; DecoderErrorMissing alone means
// that no file of this kind can be decoded on this system.
// A WAV file (a key's own; the list's go straight into their buffers) is read
// whole. Every reader gives WaveErrorCannotOpen for a file that is not there;
// DecoderErrorNotHandled for a name of no sound kind.
WaveResult decodeSoundFile(const char* path, DecodedSound& sound);
