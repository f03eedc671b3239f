#include "setup/setup_file.h"

#include <cstring>

#include "base/utf8_text.h"
#include "keys/key_bank.h"
#include "keys/pitch_volume.h"
#include "library/sound_directory.h"
#include "setup/document.h"
#include "setup/legacy_code_page.h"

const char* const ErrorReadingFileText = "Error reading file.";
const char* const NewerVersionText = "WARNING: This setup is from a newer version! Do you want to force it open?";

namespace {

// The first version that carries each section.
constexpr int16_t MasterVolumeSince = 6066;
constexpr int16_t FineTuneSince = 7096;
constexpr int16_t ExtraBCSince = 7500;
constexpr int16_t SoundDirectorySince = 7596;
constexpr int16_t ExtraDSince = 7597;

constexpr int16_t DefaultPan = 100;

void putWord(std::vector<uint8_t>& out, int16_t value) {
    uint16_t bits = static_cast<uint16_t>(value);
    out.push_back(static_cast<uint8_t>(bits >> 8));
    out.push_back(static_cast<uint8_t>(bits & 0xFF));
}

// Hands out the file's bytes in order and notices when it runs short, so
// that no field is ever taken from bytes the file did not hold.
class SetupBytes {
public:
    SetupBytes(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool word(int16_t& value) {
        if (size_ - position_ < 2) return false;
        uint16_t bits = static_cast<uint16_t>((bytes_[position_] << 8) | bytes_[position_ + 1]);
        value = static_cast<int16_t>(bits);
        position_ += 2;
        return true;
    }
    bool byte(uint8_t& value) {
        if (size_ - position_ < 1) return false;
        value = bytes_[position_++];
        return true;
    }
    bool run(char* target, size_t count) {
        if (size_ - position_ < count) return false;
        if (count > 0) std::memcpy(target, bytes_ + position_, count);
        position_ += count;
        return true;
    }

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t position_ = 0;
};

// What a file holds, parsed in full before any of it reaches the program.
struct StagedSetup {
    int16_t version = 0;
    KeySettings keys[KeyCount];
    bool hasMasterVolume = false;
    int16_t masterVolume = 0;
    bool hasSoundDirectory = false;
    char soundDirectory[PathCapacity] = "";
};

bool readKeyRecords(SetupBytes& in, StagedSetup& setup) {
    for (KeySettings& key : setup.keys) {
        int16_t dropped = 0;
        if (!in.word(key.note) || !in.word(key.triggerMode) || !in.word(key.soundIndex) || !in.word(dropped) ||
            !in.word(key.volume) || !in.word(key.pan))
            return false;
        // A toggle saved while sounding opens silent, so it opens idle too.
        setIdleTriggerMode(key);
        key.extraA = -1;
        if (key.pan < 1 || key.pan > 200) key.pan = DefaultPan;
    }
    return true;
}

bool readFineTunes(SetupBytes& in, StagedSetup& setup) {
    for (KeySettings& key : setup.keys) {
        key.fineTune = 0;
        key.muted = 0;  // nothing sounds yet, so nothing is muted
        int16_t dropped = 0;
        if (setup.version >= FineTuneSince && (!in.word(key.fineTune) || !in.word(dropped))) return false;
    }
    return true;
}

bool readExtraBC(SetupBytes& in, StagedSetup& setup) {
    for (KeySettings& key : setup.keys) {
        key.extraB = 10;
        key.extraC = 0;
        if (setup.version >= ExtraBCSince && (!in.word(key.extraB) || !in.word(key.extraC))) return false;
    }
    return true;
}

// Versions before this one stored the folder in the system's legacy code
// page. Such a path is hardly ever well-formed UTF-8, while every path stored
// since is, and an ASCII path is both: only the others are converted.
void takeLegacyFolder(char folder[PathCapacity], size_t length) {
    if (isUtf8(folder, length)) return;
    char converted[PathCapacity];
    if (convertFromLegacyCodePage(folder, converted)) std::memcpy(folder, converted, PathCapacity);
}

bool readSoundDirectory(SetupBytes& in, StagedSetup& setup) {
    if (setup.version < SoundDirectorySince) return true;
    uint8_t lengthByte = 0;
    if (!in.byte(lengthByte)) return false;
    // Signed: 0 and 128..255 give an empty path, so at most 126 bytes follow.
    int length = static_cast<int8_t>(lengthByte);
    size_t pathBytes = length > 1 ? static_cast<size_t>(length - 1) : 0;
    if (!in.run(setup.soundDirectory, pathBytes)) return false;
    setup.soundDirectory[pathBytes] = '\0';
    takeLegacyFolder(setup.soundDirectory, pathBytes);
    setup.hasSoundDirectory = true;
    return true;
}

bool readExtraD(SetupBytes& in, StagedSetup& setup) {
    for (KeySettings& key : setup.keys) {
        key.extraD = 1;
        if (setup.version >= ExtraDSince && !in.word(key.extraD)) return false;
    }
    return true;
}

bool parseSetup(SetupBytes& in, StagedSetup& setup) {
    if (!in.word(setup.version) || !readKeyRecords(in, setup)) return false;
    if (setup.version >= MasterVolumeSince) {
        if (!in.word(setup.masterVolume)) return false;
        setup.hasMasterVolume = true;
    }
    return readFineTunes(in, setup) && readExtraBC(in, setup) && readSoundDirectory(in, setup) && readExtraD(in, setup);
}

void commitSetup(const StagedSetup& setup) {
    // The staged keys began as copies of the slots, so the reserved bytes,
    // which no file holds, come back as they were; the voices are untouched.
    for (int k = 0; k < KeyCount; ++k) static_cast<KeySettings&>(keyBank.slots[k]) = setup.keys[k];
    if (setup.hasMasterVolume) masterVolume = setup.masterVolume;
    if (setup.hasSoundDirectory) std::memcpy(soundDirectory, setup.soundDirectory, sizeof soundDirectory);
}

}  // namespace

bool soundDirectoryFitsSetup() { return std::strlen(soundDirectory) <= static_cast<size_t>(MaxStoredDirectoryLength); }

std::vector<uint8_t> composeSetupBytes() {
    std::vector<uint8_t> out;
    // A length byte that disagreed with the bytes after it would spoil the file.
    if (!soundDirectoryFitsSetup()) return out;
    size_t pathBytes = std::strlen(soundDirectory);
    out.reserve(SetupBaseSize + pathBytes);

    putWord(out, SetupVersion);
    for (const KeySlot& key : keyBank.slots) {
        putWord(out, key.note);
        putWord(out, key.triggerMode);
        putWord(out, key.soundIndex);
        putWord(out, key.extraA);
        putWord(out, key.volume);
        putWord(out, key.pan);
    }
    putWord(out, masterVolume);
    for (const KeySlot& key : keyBank.slots) {
        putWord(out, key.fineTune);
        putWord(out, key.muted);
    }
    for (const KeySlot& key : keyBank.slots) {
        putWord(out, key.extraB);
        putWord(out, key.extraC);
    }
    out.push_back(static_cast<uint8_t>(pathBytes + 1));
    out.insert(out.end(), soundDirectory, soundDirectory + pathBytes);
    for (const KeySlot& key : keyBank.slots) putWord(out, key.extraD);
    return out;
}

SetupReadResult readSetupBytes(const uint8_t* bytes, size_t size) {
    SetupBytes in(bytes, size);
    StagedSetup setup;
    for (int k = 0; k < KeyCount; ++k) setup.keys[k] = keyBank.slots[k];
    if (!parseSetup(in, setup)) return SetupReadResult::TooShort;
    document.modified = false;
    commitSetup(setup);
    return setup.version > SetupVersion ? SetupReadResult::ReadNewerVersion : SetupReadResult::Read;
}
