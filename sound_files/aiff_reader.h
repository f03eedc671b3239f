// Reads an AIFF or AIFC file into what a WAV file of the same samples holds:
// its "fmt " record and its "data" bytes, so that the rest of the program
// plays both alike.
//
// Read: uncompressed AIFF, and AIFC of the types NONE, sowt (little-endian),
// fl32 and fl64 (either case). Integer samples of 1 to 32 bits come out as
// PCM in whole bytes (a 12-bit sound as 16-bit, as its file stores it), 8-bit
// ones unsigned as in a WAV; fl32 and fl64 come out as 32-bit float. The
// frames keep the file's channel order.
//
// Limits, as the WAV reader's: only the first COMM and the first SSND chunk
// inside the FORM chunk count; the chunk search stays inside the FORM chunk
// and inside the file; a sound whose frames the file does not hold in full is
// refused, never read in part; nothing is allocated beyond what the file
// really holds, and bytes past 2^32 - 1 count as not there.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sound_files/decoded_sound.h"

// An AIFC file whose samples are compressed; the WAV reader's codes cover
// every other failure, with the same meaning.
constexpr WaveResult AiffErrorCompressed = 0xE104;

// On failure the sound is left empty: a zeroed record and no samples.
//   WaveErrorChunkNotFound  too short for a FORM header, or no COMM or SSND
//   WaveErrorNotWave        not FORM AIFF or AIFC, or a COMM that describes
//                           no sound a WAV can hold (channels, bits, rate)
//   WaveErrorCannotRead     cut inside the COMM fields
//   WaveErrorCorrupt        frames outside the SSND chunk or the file
//   AiffErrorCompressed     any other AIFC compression
//   WaveErrorNoMemory
WaveResult readAiffBytes(const uint8_t* bytes, size_t size, DecodedSound& sound);
// The same for a file on disk, read whole; WaveErrorCannotOpen and
// WaveErrorFileCannotRead when it cannot be.
WaveResult readAiffFile(const char* path, DecodedSound& sound);
