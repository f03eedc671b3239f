// Which kind of sound a file holds, told by its name's extension alone, so
// that a folder is listed without opening a file.
#pragma once
#include <cstdint>

enum class SoundFileType : uint8_t { NotSound, Wave, Aiff, Mp3, Flac, Ogg };

// By the extension, in any case: .wav; .aif, .aiff, .aifc; .mp3; .flac; .ogg, .oga.
SoundFileType soundFileType(const char* name);
// The kind as the user's messages name it: "WAV", "AIFF", "MP3", "FLAC",
// "Ogg Vorbis"; "" for NotSound.
const char* soundFileTypeName(SoundFileType type);
