#include "setup/setup_file.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "audio/sound_bank.h"
#include "base/utf8_text.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/pitch_volume.h"
#include "library/sound_directory.h"
#include "setup/document.h"
#include "setup/legacy_code_page.h"

const char* const ErrorReadingFileText = "Error reading file.";
const char* const NewerVersionText = "WARNING: This setup is from a newer version! Do you want to force it open?";
const char* const UnreadableSettingsText =
    "Some settings of this setup could not be read; the keys use their defaults.";
const char* const DroppedSettingsText =
    "This setup holds settings of a newer Quillpad; saving it here leaves them out.";

namespace {

// The first version that carries each section.
constexpr int16_t MasterVolumeSince = 6066;
constexpr int16_t FineTuneSince = 7096;
constexpr int16_t ExtraBCSince = 7500;
constexpr int16_t SoundDirectorySince = 7596;
constexpr int16_t ExtraDSince = 7597;

constexpr int16_t DefaultPan = 100;

// The extension: sections of a four-character id, a 32-bit length and that
// many bytes, closed by an empty end section, so that a file cut between two
// sections is known to be cut. A reader passes over the ids it does not know,
// so a later Quillpad adds sections without a new version.
constexpr size_t SectionIdSize = 4;
constexpr size_t SectionHeaderSize = SectionIdSize + 4;
constexpr char EndId[SectionIdSize + 1] = "END ";
constexpr char KeyPropertiesId[SectionIdSize + 1] = "KEYP";
// Per key, in key order: choke group, fade in, fade out (words), start and end
// points (32-bit). A later property of keys comes in a section of its own.
constexpr size_t KeyPropertiesRecordSize = 3 * 2 + 2 * 4;
constexpr size_t KeyPropertiesSize = KeyCount * KeyPropertiesRecordSize;
// One bank of keys but bank 1, which is the version-7995 layout and KEYP:
// the bank's number (2..8), then per key, in key order, the words the
// version-7995 layout holds of a key but its muted word (note, trigger mode,
// sound, extraA, volume, pan, fine tune, extraB, extraC, extraD), then its
// properties as KEYP holds them. Written only for a bank that is not at the
// start-up layout, so a setup of bank 1 alone is written as before.
constexpr char BankId[SectionIdSize + 1] = "KBNK";
constexpr size_t BankKeyRecordSize = 10 * 2 + KeyPropertiesRecordSize;
constexpr size_t BankSize = 2 + KeyCount * BankKeyRecordSize;
// The keys of any bank that play a file of their own: a word of how many,
// then for each its bank (1..8) and key (0..46) as words, a byte that is 1
// when the path is relative to the setup file's folder (0: absolute), and the
// path's length as a word and its UTF-8 bytes. Such a key's sound in the
// version-7995 layout or its bank's section is -1, so that an older reader
// gives it no sound.
constexpr char OwnFilesId[SectionIdSize + 1] = "KFIL";
constexpr int16_t LongestStoredPath = 3 * 260;  // 260 characters of up to three bytes each

void putWord(std::vector<uint8_t>& out, int16_t value) {
    uint16_t bits = static_cast<uint16_t>(value);
    out.push_back(static_cast<uint8_t>(bits >> 8));
    out.push_back(static_cast<uint8_t>(bits & 0xFF));
}

void putLong(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
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
    bool longWord(uint32_t& value) {
        if (size_ - position_ < 4) return false;
        const uint8_t* at = bytes_ + position_;
        value = (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
        position_ += 4;
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
    // The next count bytes as a reader of their own, passed over here.
    bool part(size_t count, SetupBytes& bytes) {
        if (size_ - position_ < count) return false;
        bytes = SetupBytes(bytes_ + position_, count);
        position_ += count;
        return true;
    }
    size_t remaining() const { return size_ - position_; }

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
    // The keys of the banks from the second on (the user's Bank b + 1 at b),
    // where a section holds them; bank 1's are keys.
    bool hasBank[BankCount] = {};
    KeySettings banks[BankCount][KeyCount];
    struct OwnFile {
        int bank, key;
        std::string path;  // full, resolved against the setup file's folder
    };
    std::vector<OwnFile> ownFiles;
};

// What the reader of the version-7995 layout makes of a key's record, which
// a bank section's record is read as too.
void settleKeyRecord(KeySettings& key) {
    // A toggle saved while sounding opens silent, so it opens idle too.
    setIdleTriggerMode(key);
    key.extraA = -1;
    if (key.pan < 1 || key.pan > 200) key.pan = DefaultPan;
}

bool readKeyRecords(SetupBytes& in, StagedSetup& setup) {
    for (KeySettings& key : setup.keys) {
        int16_t dropped = 0;
        if (!in.word(key.note) || !in.word(key.triggerMode) || !in.word(key.soundIndex) || !in.word(dropped) ||
            !in.word(key.volume) || !in.word(key.pan))
            return false;
        settleKeyRecord(key);
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

// Every file opens with the properties it holds and no others: what the keys
// had before is no part of it.
void takeDefaultProperties(KeySettings& key) {
    const KeySettings defaults;
    key.chokeGroup = defaults.chokeGroup;
    key.fadeInMilliseconds = defaults.fadeInMilliseconds;
    key.fadeOutMilliseconds = defaults.fadeOutMilliseconds;
    key.startMilliseconds = defaults.startMilliseconds;
    key.endMilliseconds = defaults.endMilliseconds;
}

bool inRange(int32_t value, int32_t highest) { return value >= 0 && value <= highest; }

bool readPropertiesRecord(SetupBytes& section, KeySettings& key) {
    uint32_t start = 0;
    uint32_t end = 0;
    if (!section.word(key.chokeGroup) || !section.word(key.fadeInMilliseconds) ||
        !section.word(key.fadeOutMilliseconds) || !section.longWord(start) || !section.longWord(end))
        return false;
    key.startMilliseconds = static_cast<int32_t>(start);
    key.endMilliseconds = static_cast<int32_t>(end);
    return inRange(key.chokeGroup, ChokeGroupCount) && inRange(key.fadeInMilliseconds, LongestFadeMilliseconds) &&
           inRange(key.fadeOutMilliseconds, LongestFadeMilliseconds) &&
           inRange(key.startMilliseconds, LatestPointMilliseconds) &&
           inRange(key.endMilliseconds, LatestPointMilliseconds);
}

bool readKeyProperties(SetupBytes& section, KeySettings keys[KeyCount]) {
    if (section.remaining() != KeyPropertiesSize) return false;
    for (int k = 0; k < KeyCount; ++k)
        if (!readPropertiesRecord(section, keys[k])) return false;
    return true;
}

bool readBankKey(SetupBytes& section, KeySettings& key) {
    int16_t extraA = 0;
    if (!section.word(key.note) || !section.word(key.triggerMode) || !section.word(key.soundIndex) ||
        !section.word(extraA) || !section.word(key.volume) || !section.word(key.pan) || !section.word(key.fineTune) ||
        !section.word(key.extraB) || !section.word(key.extraC) || !section.word(key.extraD) ||
        !readPropertiesRecord(section, key))
        return false;
    settleKeyRecord(key);
    key.muted = 0;
    return true;
}

bool readBank(SetupBytes& section, StagedSetup& setup) {
    int16_t number = 0;
    if (section.remaining() != BankSize || !section.word(number)) return false;
    int bank = number - 1;
    // Bank 1 is the version-7995 layout's, and a bank twice would leave it
    // to chance which of the two its keys take.
    if (bank < 1 || bank >= BankCount || setup.hasBank[bank]) return false;
    for (KeySettings& key : setup.banks[bank])
        if (!readBankKey(section, key)) return false;
    setup.hasBank[bank] = true;
    return true;
}

// The folder of the document's setup file, with its separator; "" for none.
std::string setupFolder() {
    const char* path = document.setupPath;
    const char* slash = std::strrchr(path, '\\');
    return slash ? std::string(path, static_cast<size_t>(slash - path) + 1) : std::string();
}

bool readOwnFile(SetupBytes& section, const std::string& folder, StagedSetup& setup) {
    int16_t bank = 0, key = 0, length = 0;
    uint8_t relative = 0;
    if (!section.word(bank) || !section.word(key) || !section.byte(relative) || !section.word(length)) return false;
    if (bank < 1 || bank > BankCount || key < 0 || key >= KeyCount || relative > 1 || length < 1 ||
        length > LongestStoredPath)
        return false;
    std::string path(static_cast<size_t>(length), '\0');
    if (!section.run(&path[0], path.size()) || path.find('\0') != std::string::npos) return false;
    for (const StagedSetup::OwnFile& file : setup.ownFiles)
        if (file.bank == bank - 1 && file.key == key) return false;  // which of two would be left to chance
    setup.ownFiles.push_back({bank - 1, key, relative ? folder + path : path});
    return true;
}

bool readOwnFiles(SetupBytes& section, StagedSetup& setup) {
    int16_t count = 0;
    if (!section.word(count) || count < 0 || count > BankCount * KeyCount || !setup.ownFiles.empty()) return false;
    std::string folder = setupFolder();
    for (int i = 0; i < count; ++i)
        if (!readOwnFile(section, folder, setup)) return false;
    return section.remaining() == 0;
}

// Printable ASCII, as every id is: anything else is no section's start.
bool isSectionId(const char id[SectionIdSize]) {
    for (size_t i = 0; i < SectionIdSize; ++i)
        if (id[i] < 0x20 || id[i] > 0x7E) return false;
    return true;
}

bool isId(const char id[SectionIdSize], const char known[SectionIdSize + 1]) {
    return std::memcmp(id, known, SectionIdSize) == 0;
}

// The sections up to the end section, into a setup of their own, so that the
// staged one takes none of a damaged extension: neither properties nor any
// bank. Bytes after the end section are ignored, as bytes after any older
// layout are.
SetupExtensionResult readExtension(SetupBytes& in, StagedSetup& setup) {
    if (setup.version < ExtendedSetupVersion) return SetupExtensionResult::Read;
    // On the heap: eight banks of keys are too large for the stack.
    auto read = std::make_unique<StagedSetup>(setup);
    bool hasKeyProperties = false;
    bool hasUnknownSections = false;
    for (;;) {
        char id[SectionIdSize];
        uint32_t length = 0;
        SetupBytes section(nullptr, 0);
        if (!in.run(id, SectionIdSize) || !in.longWord(length) || !isSectionId(id) || !in.part(length, section))
            return SetupExtensionResult::Damaged;
        if (isId(id, EndId)) {
            if (length != 0) return SetupExtensionResult::Damaged;
            break;
        }
        if (isId(id, BankId)) {
            if (!readBank(section, *read)) return SetupExtensionResult::Damaged;
            continue;
        }
        if (isId(id, OwnFilesId)) {
            if (!readOwnFiles(section, *read)) return SetupExtensionResult::Damaged;
            continue;
        }
        if (!isId(id, KeyPropertiesId)) {
            hasUnknownSections = true;
            continue;
        }
        // A second one would leave it to chance which of the two the keys take.
        if (hasKeyProperties || !readKeyProperties(section, read->keys)) return SetupExtensionResult::Damaged;
        hasKeyProperties = true;
    }
    setup = *read;
    return hasUnknownSections ? SetupExtensionResult::UnknownSections : SetupExtensionResult::Read;
}

void commitSetup(const StagedSetup& setup) {
    // A setup opens on bank 1, and a bank it lacks has the start-up layout.
    showBank(0);
    resetHiddenBanks();
    // The staged keys began as copies of bank 1's slots, so the reserved
    // bytes, which no file holds, come back as they were; the voices are
    // untouched. The other banks were just reset, without voices.
    for (int k = 0; k < KeyCount; ++k) static_cast<KeySettings&>(keyBank.slots[k]) = setup.keys[k];
    for (int b = 1; b < BankCount; ++b) {
        if (!setup.hasBank[b]) continue;
        KeyBank& keys = bankOf(b);
        for (int k = 0; k < KeyCount; ++k) static_cast<KeySettings&>(keys.slots[k]) = setup.banks[b][k];
    }
    for (const StagedSetup::OwnFile& file : setup.ownFiles) {
        KeySettings& key = bankOf(file.bank).slots[file.key];
        key.ownFile = ownFileNumber(file.path);
        if (key.ownFile > 0) key.soundIndex = -1;
    }
    if (setup.hasMasterVolume) masterVolume = setup.masterVolume;
    if (setup.hasSoundDirectory) std::memcpy(soundDirectory, setup.soundDirectory, sizeof soundDirectory);
}

// A key playing a file of its own has no list entry, whatever it held before.
int16_t storedSoundIndex(const KeySettings& key) { return key.ownFile > 0 ? int16_t{-1} : key.soundIndex; }

// Bank 1's keys, whichever bank is shown: the bank shown is no part of a setup.
void putBase(std::vector<uint8_t>& out, int16_t version) {
    const KeySlot* keys = bankOf(0).slots;
    size_t pathBytes = std::strlen(soundDirectory);
    putWord(out, version);
    for (int k = 0; k < KeyCount; ++k) {
        putWord(out, keys[k].note);
        putWord(out, keys[k].triggerMode);
        putWord(out, storedSoundIndex(keys[k]));
        putWord(out, keys[k].extraA);
        putWord(out, keys[k].volume);
        putWord(out, keys[k].pan);
    }
    putWord(out, masterVolume);
    for (int k = 0; k < KeyCount; ++k) {
        putWord(out, keys[k].fineTune);
        putWord(out, keys[k].muted);
    }
    for (int k = 0; k < KeyCount; ++k) {
        putWord(out, keys[k].extraB);
        putWord(out, keys[k].extraC);
    }
    out.push_back(static_cast<uint8_t>(pathBytes + 1));
    out.insert(out.end(), soundDirectory, soundDirectory + pathBytes);
    for (int k = 0; k < KeyCount; ++k) putWord(out, keys[k].extraD);
}

void putSectionHeader(std::vector<uint8_t>& out, const char id[SectionIdSize], size_t length) {
    out.insert(out.end(), id, id + SectionIdSize);
    putLong(out, static_cast<uint32_t>(length));
}

void putPropertiesRecord(std::vector<uint8_t>& out, const KeySettings& key) {
    putWord(out, key.chokeGroup);
    putWord(out, key.fadeInMilliseconds);
    putWord(out, key.fadeOutMilliseconds);
    putLong(out, static_cast<uint32_t>(key.startMilliseconds));
    putLong(out, static_cast<uint32_t>(key.endMilliseconds));
}

void putKeyProperties(std::vector<uint8_t>& out) {
    putSectionHeader(out, KeyPropertiesId, KeyPropertiesSize);
    for (const KeySlot& key : bankOf(0).slots) putPropertiesRecord(out, key);
}

void putBank(std::vector<uint8_t>& out, int bank) {
    putSectionHeader(out, BankId, BankSize);
    putWord(out, static_cast<int16_t>(bank + 1));
    for (const KeySlot& slot : bankOf(bank).slots) {
        // A sounding toggle is written idle: the bytes are the bank's, not the moment's.
        KeySettings key = slot;
        setIdleTriggerMode(key);
        putWord(out, key.note);
        putWord(out, key.triggerMode);
        putWord(out, storedSoundIndex(key));
        putWord(out, key.extraA);
        putWord(out, key.volume);
        putWord(out, key.pan);
        putWord(out, key.fineTune);
        putWord(out, key.extraB);
        putWord(out, key.extraC);
        putWord(out, key.extraD);
        putPropertiesRecord(out, key);
    }
}

// A file under the setup file's folder is stored relative to it, so that a
// kit moved whole still finds it; any other file by its full path.
void putOwnFile(std::vector<uint8_t>& out, int bank, int key, const std::string& path, const std::string& folder) {
    bool relative =
        !folder.empty() && path.size() > folder.size() && startsWithIgnoringCase(path.c_str(), folder.c_str());
    std::string stored = relative ? path.substr(folder.size()) : path;
    putWord(out, static_cast<int16_t>(bank + 1));
    putWord(out, static_cast<int16_t>(key));
    out.push_back(relative ? 1 : 0);
    putWord(out, static_cast<int16_t>(stored.size()));
    out.insert(out.end(), stored.begin(), stored.end());
}

// The own files that can be stored; a path too long for its length word is
// left out, and that key opens without a sound.
std::vector<std::pair<int, int>> storableOwnFiles() {
    std::vector<std::pair<int, int>> keys;
    for (int b = 0; b < BankCount; ++b) {
        for (int k = 0; k < KeyCount; ++k) {
            int16_t number = bankOf(b).slots[k].ownFile;
            if (number < 1 || static_cast<size_t>(number) > soundBank.ownFiles.size()) continue;
            size_t length = soundBank.ownFiles[static_cast<size_t>(number - 1)].path.size();
            if (length >= 1 && length <= static_cast<size_t>(LongestStoredPath)) keys.emplace_back(b, k);
        }
    }
    return keys;
}

void putOwnFiles(std::vector<uint8_t>& out, const std::vector<std::pair<int, int>>& keys) {
    std::vector<uint8_t> section;
    putWord(section, static_cast<int16_t>(keys.size()));
    std::string folder = setupFolder();
    for (const auto& [bank, key] : keys) {
        const std::string& path = soundBank.ownFiles[static_cast<size_t>(bankOf(bank).slots[key].ownFile - 1)].path;
        putOwnFile(section, bank, key, path, folder);
    }
    putSectionHeader(out, OwnFilesId, section.size());
    out.insert(out.end(), section.begin(), section.end());
}

bool allKeysHaveDefaultProperties() {
    for (const KeySlot& key : bankOf(0).slots)
        if (!hasDefaultProperties(key)) return false;
    return true;
}

int banksBeyondTheFirstInUse() {
    int count = 0;
    for (int b = 1; b < BankCount; ++b)
        if (!holdsStartUpLayout(b)) ++count;
    return count;
}

}  // namespace

bool soundDirectoryFitsSetup() { return std::strlen(soundDirectory) <= static_cast<size_t>(MaxStoredDirectoryLength); }

std::vector<uint8_t> composeSetupBytes() {
    std::vector<uint8_t> out;
    // A length byte that disagreed with the bytes after it would spoil the file.
    if (!soundDirectoryFitsSetup()) return out;
    bool hasKeyProperties = !allKeysHaveDefaultProperties();
    int banks = banksBeyondTheFirstInUse();
    std::vector<std::pair<int, int>> ownFiles = storableOwnFiles();
    // Keys as every older version played them are written in the layout they read.
    if (!hasKeyProperties && banks == 0 && ownFiles.empty()) {
        out.reserve(SetupBaseSize + std::strlen(soundDirectory));
        putBase(out, SetupVersion);
        return out;
    }
    out.reserve(SetupBaseSize + std::strlen(soundDirectory) + 2 * SectionHeaderSize + KeyPropertiesSize +
                static_cast<size_t>(banks) * (SectionHeaderSize + BankSize));
    putBase(out, ExtendedSetupVersion);
    if (hasKeyProperties) putKeyProperties(out);
    for (int b = 1; b < BankCount; ++b)
        if (!holdsStartUpLayout(b)) putBank(out, b);
    if (!ownFiles.empty()) putOwnFiles(out, ownFiles);
    putSectionHeader(out, EndId, 0);
    return out;
}

SetupReadResult readSetupBytes(const uint8_t* bytes, size_t size, SetupExtensionResult& extension) {
    extension = SetupExtensionResult::Read;
    SetupBytes in(bytes, size);
    // On the heap: eight banks of keys are too large for the stack.
    auto setup = std::make_unique<StagedSetup>();
    const KeyBank& first = bankOf(0);
    for (int k = 0; k < KeyCount; ++k) {
        setup->keys[k] = first.slots[k];
        takeDefaultProperties(setup->keys[k]);
        setup->keys[k].ownFile = 0;
    }
    if (!parseSetup(in, *setup)) return SetupReadResult::TooShort;
    extension = readExtension(in, *setup);
    document.modified = false;
    commitSetup(*setup);
    // 7996 to 7999 were never this program's: they warn, as before.
    bool newer = setup->version > SetupVersion && setup->version != ExtendedSetupVersion;
    return newer ? SetupReadResult::ReadNewerVersion : SetupReadResult::Read;
}

SetupReadResult readSetupBytes(const uint8_t* bytes, size_t size) {
    SetupExtensionResult extension = SetupExtensionResult::Read;
    return readSetupBytes(bytes, size, extension);
}
