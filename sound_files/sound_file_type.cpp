#include "sound_files/sound_file_type.h"

#include <cstring>

namespace {

struct Extension {
    const char* text;  // lower case, with its dot
    SoundFileType type;
};

constexpr Extension Extensions[] = {
    {".wav", SoundFileType::Wave},  {".aif", SoundFileType::Aiff}, {".aiff", SoundFileType::Aiff},
    {".aifc", SoundFileType::Aiff}, {".mp3", SoundFileType::Mp3},  {".flac", SoundFileType::Flac},
    {".ogg", SoundFileType::Ogg},   {".oga", SoundFileType::Ogg},
};

// ASCII only: a byte of a UTF-8 character never matches a letter of an extension.
char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool endsWith(const char* name, size_t length, const char* extension) {
    size_t extensionLength = std::strlen(extension);
    if (length < extensionLength) return false;
    const char* tail = name + length - extensionLength;
    for (size_t i = 0; i < extensionLength; ++i)
        if (lowerCase(tail[i]) != extension[i]) return false;
    return true;
}

}  // namespace

SoundFileType soundFileType(const char* name) {
    if (!name) return SoundFileType::NotSound;
    size_t length = std::strlen(name);
    for (const Extension& extension : Extensions)
        if (endsWith(name, length, extension.text)) return extension.type;
    return SoundFileType::NotSound;
}

const char* soundFileTypeName(SoundFileType type) {
    switch (type) {
    case SoundFileType::Wave:
        return "WAV";
    case SoundFileType::Aiff:
        return "AIFF";
    case SoundFileType::Mp3:
        return "MP3";
    case SoundFileType::Flac:
        return "FLAC";
    case SoundFileType::Ogg:
        return "Ogg Vorbis";
    case SoundFileType::NotSound:
        break;
    }
    return "";
}
