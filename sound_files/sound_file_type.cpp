#include "sound_files/sound_file_type.h"

#include <cctype>
#include <cstring>

namespace {

struct KnownExtension {
    const char* extension;  // with its dot, lower case
    SoundFileType type;
};

constexpr KnownExtension KnownExtensions[] = {
    {".wav", SoundFileType::Wave},  {".aif", SoundFileType::Aiff}, {".aiff", SoundFileType::Aiff},
    {".aifc", SoundFileType::Aiff}, {".mp3", SoundFileType::Mp3},  {".flac", SoundFileType::Flac},
    {".ogg", SoundFileType::Ogg},   {".oga", SoundFileType::Ogg},
};

bool endsWithNoCase(const char* name, size_t length, const char* extension) {
    size_t extensionLength = std::strlen(extension);
    if (length < extensionLength) return false;
    const char* tail = name + length - extensionLength;
    for (size_t i = 0; i < extensionLength; ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != extension[i]) return false;
    return true;
}

}  // namespace

SoundFileType soundFileType(const char* name) {
    if (!name) return SoundFileType::NotSound;
    size_t length = std::strlen(name);
    for (const KnownExtension& known : KnownExtensions)
        if (endsWithNoCase(name, length, known.extension)) return known.type;
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
