#include "sound_files/sound_file_type.h"

#include "base/utf8_text.h"

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

}  // namespace

SoundFileType soundFileType(const char* name) {
    if (!name) return SoundFileType::NotSound;
    for (const Extension& extension : Extensions)
        if (endsWithIgnoringCase(name, extension.text)) return extension.type;
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
