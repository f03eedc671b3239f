// Decodes an Ogg Vorbis file into what a WAV of the same samples holds, with
// stb_vorbis (Windows has no Vorbis decoder of its own).
//
// Out: 16-bit PCM, mono or stereo; more channels are mixed down to stereo as
// decoded_frames.h says. Only the file's first logical stream is read.
//
// Limits: the file must begin with an Ogg page; stb_vorbis works inside an
// arena of at most 16 MB, so no size in the file makes it allocate more; the
// sound is refused past LargestDecodedBytes; a file of more than 2^31 - 1
// bytes is refused. The samples grow only as packets decode, never by a
// length the file announces.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sound_files/decoded_sound.h"

// On failure the sound is left empty: a zeroed record and no samples.
//   WaveErrorNotWave     no Ogg Vorbis stream, or a rate outside LowestRate
//                        to HighestRate
//   WaveErrorCorrupt     headers or packets that do not decode, or a file
//                        that ends inside them
//   DecoderErrorRefused  a stream stb_vorbis would decode wrongly: more than
//                        one submap, as in the reference encoder's 5.1
//   DecoderErrorTooLong  more samples than a sound buffer holds
//   WaveErrorNoMemory
WaveResult decodeOggBytes(const uint8_t* bytes, size_t size, DecodedSound& sound);
// The same for a file on disk, read whole; WaveErrorCannotOpen and
// WaveErrorFileCannotRead when it cannot be.
WaveResult decodeOggFile(const char* path, DecodedSound& sound);
