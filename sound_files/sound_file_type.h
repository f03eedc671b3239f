// Which kind of sound file a name is, by its extension, and the kind's name
// as the user's messages say it.
#pragma once
#include <cstdint>

enum class SoundFileType : uint8_t { NotSound, Wave, Aiff, Mp3, Flac, Ogg };

// Case-insensitive: .wav; .aif, .aiff, .aifc; .mp3; .flac; .ogg, .oga.
SoundFileType soundFileType(const char* name);
// "WAV", "AIFF", "MP3", "FLAC", "Ogg Vorbis"; "" for NotSound.
const char* soundFileTypeName(SoundFileType type);
