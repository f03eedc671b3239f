#include "setup/setup_file.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_legacy_code_page.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/pitch_volume.h"
#include "library/sound_directory.h"
#include "setup/document.h"
#include "support/program_test.h"
#include "support/setup_file_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Fields = std::array<int, 13>;
using Properties = std::array<int32_t, 5>;

// Layout offsets of a version-7995 file.
constexpr size_t MasterVolumeAt = 566;
constexpr size_t FineTunesAt = 568;
constexpr size_t ExtraBCAt = 756;
constexpr size_t LengthByteAt = 944;

Fields fieldsOf(const KeySettings& key) {
    return {key.extraA, key.reservedByte1, key.reservedByte2, key.note,   key.triggerMode, key.soundIndex, key.volume,
            key.pan,    key.fineTune,      key.muted,         key.extraB, key.extraC,      key.extraD};
}

std::array<Fields, KeyCount> allKeyFields() {
    std::array<Fields, KeyCount> all;
    for (int k = 0; k < KeyCount; ++k) all[k] = fieldsOf(keyBank.slots[k]);
    return all;
}

std::array<Properties, KeyCount> allKeyProperties() {
    std::array<Properties, KeyCount> all;
    for (int k = 0; k < KeyCount; ++k) {
        const KeySlot& key = keyBank.slots[k];
        all[k] = {key.chokeGroup, key.fadeInMilliseconds, key.fadeOutMilliseconds, key.startMilliseconds,
                  key.endMilliseconds};
    }
    return all;
}

bool everyKeyHasDefaultProperties() {
    for (const KeySlot& key : keyBank.slots)
        if (!hasDefaultProperties(key)) return false;
    return true;
}

int wordAt(const Bytes& bytes, size_t offset) {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]));
}

void putWordAt(Bytes& bytes, size_t offset, int value) {
    bytes[offset] = static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8);
    bytes[offset + 1] = static_cast<uint8_t>(value & 0xFF);
}

class SetupFileBytes : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();
        callLog.clear();
    }

    // A file of the given version: the newest layout cut to the sections that version carries.
    static Bytes olderFile(Bytes full, int version, size_t length) {
        putWordAt(full, 0, version);
        full.resize(length);
        return full;
    }

    // True when the bytes were read; the reader shows nothing either way.
    static bool read(const Bytes& bytes) {
        SetupReadResult result = readSetupBytes(bytes.data(), bytes.size());
        EXPECT_TRUE(callsStartingWith("dialog").empty());
        return result != SetupReadResult::TooShort;
    }

    // Every key with fields unlike the start-up ones, so a field left out is seen.
    static void giveEveryKeyDistinctFields() {
        const int16_t modes[] = {HoldFinish,          HoldStop,    ToggleStopRunning, ToggleStop,
                                 ToggleFinishRunning, ToggleFinish};
        for (int k = 0; k < KeyCount; ++k) {
            KeySlot& key = keyBank.slots[k];
            key.note = static_cast<int16_t>(3 * k - 20);
            key.triggerMode = modes[k % 6];
            key.soundIndex = static_cast<int16_t>(46 - k);
            key.volume = static_cast<int16_t>(9 * k);
            key.pan = static_cast<int16_t>(1 + 4 * k);
            key.fineTune = static_cast<int16_t>(4 * k - 92);
            key.muted = 1;
            key.extraB = static_cast<int16_t>(100 + k);
            key.extraC = static_cast<int16_t>(-k);
            key.extraD = static_cast<int16_t>(7 * k + 2);
        }
    }
};

TEST_F(SetupFileBytes, TheStartUpSetupIs1039BytesWithTheDocumentedWords) {
    Bytes bytes = composeSetupBytes();
    ASSERT_EQ(bytes.size(), 1039u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14),
              (Bytes{0x1F, 0x3B, 0x00, 0x30, 0x03, 0xE0, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x64, 0x00, 0x32}));
    EXPECT_EQ(Bytes(bytes.begin() + 158, bytes.begin() + 170),
              (Bytes{0x00, 0x3C, 0x03, 0xDF, 0x00, 0x01, 0xFF, 0xFF, 0x00, 0x50, 0x00, 0x64}));
    EXPECT_EQ(bytes[MasterVolumeAt], 0x00);
    EXPECT_EQ(bytes[MasterVolumeAt + 1], 0x0A);
    EXPECT_EQ(wordAt(bytes, FineTunesAt), 0);  // key 0 fine tune
    EXPECT_EQ(wordAt(bytes, ExtraBCAt), 10);   // key 0 extraB
    EXPECT_EQ(bytes[LengthByteAt], 0x01);
    for (size_t offset = 945; offset < 1039; offset += 2) EXPECT_EQ(wordAt(bytes, offset), 1) << offset;
}

TEST_F(SetupFileBytes, WritingAndReadingBackReproducesEveryStoredField) {
    giveEveryKeyDistinctFields();
    keyBank.slots[5].extraA = 77;        // written as held, read back as -1
    keyBank.slots[7].reservedByte1 = 9;  // never stored: the reader leaves it
    masterVolume = 7;
    setSoundDirectory("C:\\Sounds\\Drums");
    Bytes bytes = composeSetupBytes();
    ASSERT_EQ(bytes.size(), 1039u + 15);
    EXPECT_EQ(bytes[LengthByteAt], 16);
    EXPECT_EQ(std::string(bytes.begin() + 945, bytes.begin() + 960), "C:\\Sounds\\Drums");
    EXPECT_EQ(wordAt(bytes, 2 + 12 * 5 + 6), 77);
    EXPECT_EQ(wordAt(bytes, FineTunesAt + 4 * 3 + 2), 1);  // muted as held

    auto saved = allKeyFields();
    keyBank = KeyBank();
    keyBank.slots[7].reservedByte1 = 9;
    masterVolume = 3;
    setSoundDirectory("C:\\Other");
    document.modified = true;
    EXPECT_TRUE(read(bytes));

    for (int k = 0; k < KeyCount; ++k) {
        Fields expected = saved[k];
        expected[0] = -1;  // extraA
        expected[9] = 0;   // muted
        if (expected[4] == ToggleStopRunning) expected[4] = ToggleStop;
        if (expected[4] == ToggleFinishRunning) expected[4] = ToggleFinish;
        EXPECT_EQ(fieldsOf(keyBank.slots[k]), expected) << "key " << k;
    }
    EXPECT_EQ(keyBank.slots[2].triggerMode, ToggleStop);    // saved sounding as 993
    EXPECT_EQ(keyBank.slots[4].triggerMode, ToggleFinish);  // saved sounding as 995
    EXPECT_EQ(masterVolume, 7);
    EXPECT_STREQ(soundDirectory, "C:\\Sounds\\Drums");
    EXPECT_FALSE(document.modified);
    EXPECT_TRUE(callLog.empty());  // no message for a good file
}

TEST_F(SetupFileBytes, ANegativeFineTuneIsStoredBigEndianAndReadBack) {
    keyBank.slots[0].fineTune = -100;
    Bytes bytes = composeSetupBytes();
    EXPECT_EQ(bytes[FineTunesAt], 0xFF);
    EXPECT_EQ(bytes[FineTunesAt + 1], 0x9C);
    keyBank.slots[0].fineTune = 0;
    read(bytes);
    EXPECT_EQ(keyBank.slots[0].fineTune, -100);
}

TEST_F(SetupFileBytes, APanOutside1To200OpensAs100) {
    const int stored[] = {0, 201, -5, 1, 200, -32768};
    const int opened[] = {100, 100, 100, 1, 200, 100};
    Bytes bytes = composeSetupBytes();
    for (int k = 0; k < 6; ++k) putWordAt(bytes, 2 + 12 * k + 10, stored[k]);
    read(bytes);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(keyBank.slots[k].pan, opened[k]) << "stored " << stored[k];
}

TEST_F(SetupFileBytes, ASoundDirectoryOf126BytesFitsAnd127IsRefused) {
    std::string longest(126, 'd');
    setSoundDirectory(longest);
    EXPECT_TRUE(soundDirectoryFitsSetup());
    Bytes bytes = composeSetupBytes();
    ASSERT_EQ(bytes.size(), 1039u + 126);
    EXPECT_EQ(bytes[LengthByteAt], 0x7F);
    soundDirectory[0] = '\0';
    read(bytes);
    EXPECT_EQ(std::string(soundDirectory), longest);

    setSoundDirectory(longest + "d");
    EXPECT_FALSE(soundDirectoryFitsSetup());
    EXPECT_TRUE(composeSetupBytes().empty());
}

TEST_F(SetupFileBytes, AFolderStoredInTheLegacyCodePageOpensInUtf8AndAnyOtherAsStored) {
    auto opened = [](const std::string& stored) {
        setSoundDirectory(stored);
        Bytes bytes = composeSetupBytes();
        setSoundDirectory("C:\\Before");
        read(bytes);
        return std::string(soundDirectory);
    };
    const std::string utf8Ete = "C:\\Musique \xC3\xA9t\xC3\xA9";
    EXPECT_EQ(opened("C:\\Sounds\\Drums"), "C:\\Sounds\\Drums");
    EXPECT_EQ(opened(utf8Ete), utf8Ete);
    EXPECT_EQ(opened("C:\\Musique \xE9t\xE9"), utf8Ete);
    // Sequences cut short: the letters of Windows-1252 that their bytes are.
    EXPECT_EQ(opened("C:\\Caf\xC3"), "C:\\Caf\xC3\x83");
    EXPECT_EQ(opened("C:\\Kit \xE6\xA5"), "C:\\Kit \xC3\xA6\xC2\xA5");

    // Where the legacy code page is the one the program speaks, the bytes are the path.
    fakeLegacyCodePage.isActiveCodePage = true;
    EXPECT_EQ(opened("C:\\Musique \xE9t\xE9"), "C:\\Musique \xE9t\xE9");
}

TEST_F(SetupFileBytes, ALengthByteOf10Or80HexGivesAnEmptySoundDirectory) {
    keyBank.slots[0].extraD = 1234;
    for (uint8_t lengthByte : {0x01, 0x00, 0x80}) {
        Bytes bytes = composeSetupBytes();
        bytes[LengthByteAt] = lengthByte;
        setSoundDirectory("C:\\Old");
        keyBank.slots[0].extraD = 0;
        EXPECT_TRUE(read(bytes));
        EXPECT_STREQ(soundDirectory, "") << int(lengthByte);
        // No path byte was taken: the words after the length byte are the extraD words.
        EXPECT_EQ(keyBank.slots[0].extraD, 1234) << int(lengthByte);
    }
}

TEST_F(SetupFileBytes, AVersion6066FileHoldsTheKeysAndMasterVolumeOnly) {
    masterVolume = 6;
    Bytes bytes = olderFile(composeSetupBytes(), 6066, 568);
    giveEveryKeyDistinctFields();
    masterVolume = 2;
    setSoundDirectory("C:\\Keep");
    EXPECT_TRUE(read(bytes));
    EXPECT_EQ(masterVolume, 6);
    EXPECT_STREQ(soundDirectory, "C:\\Keep");
    for (const KeySlot& key : keyBank.slots) {
        EXPECT_EQ(key.fineTune, 0);
        EXPECT_EQ(key.muted, 0);
        EXPECT_EQ(key.extraB, 10);
        EXPECT_EQ(key.extraC, 0);
        EXPECT_EQ(key.extraD, 1);
    }
    EXPECT_EQ(keyBank.slots[13].note, 60);  // the records came from the file
}

TEST_F(SetupFileBytes, VersionsBelow6066AndNegativeOnesReadOnlyTheKeyRecords) {
    giveEveryKeyDistinctFields();
    setSoundDirectory("C:\\In\\File");
    masterVolume = 9;
    Bytes full = composeSetupBytes();
    for (int version : {6065, 0, 1, -1, -32768, -4}) {
        // The later sections are there, but the version says they are not.
        Bytes bytes = olderFile(full, version, full.size());
        startInstrument();
        keyBank.slots[0].fineTune = 55;
        masterVolume = 4;
        setSoundDirectory("C:\\Kept");
        EXPECT_TRUE(read(bytes)) << version;
        EXPECT_EQ(masterVolume, 4) << version;
        EXPECT_STREQ(soundDirectory, "C:\\Kept") << version;
        EXPECT_EQ(keyBank.slots[1].note, -17) << version;
        EXPECT_EQ(keyBank.slots[0].fineTune, 0) << version;
        EXPECT_EQ(keyBank.slots[1].extraB, 10) << version;
        EXPECT_EQ(keyBank.slots[1].extraD, 1) << version;
    }
    // Bytes 80 00 are the version -32768, the oldest of all.
    Bytes bytes = full;
    bytes[0] = 0x80;
    bytes[1] = 0x00;
    masterVolume = 4;
    read(bytes);
    EXPECT_EQ(masterVolume, 4);
}

TEST_F(SetupFileBytes, EachSectionIsReadFromTheVersionThatBroughtIt) {
    giveEveryKeyDistinctFields();
    setSoundDirectory("C:\\Dir");
    Bytes full = composeSetupBytes();
    struct Case {
        int version;
        size_t length;
        bool fineTune, extraBC, directory, extraD;
    };
    const Case cases[] = {
        {7095, 568, false, false, false, false}, {7096, 756, true, false, false, false},
        {7499, 756, true, false, false, false},  {7500, 944, true, true, false, false},
        {7595, 944, true, true, false, false},   {7596, 951, true, true, true, false},
        {7597, 1045, true, true, true, true},
    };
    for (const Case& c : cases) {
        startInstrument();
        setSoundDirectory("C:\\Before");
        EXPECT_TRUE(read(olderFile(full, c.version, c.length))) << c.version;
        const KeySlot& key = keyBank.slots[3];
        EXPECT_EQ(key.fineTune, c.fineTune ? -80 : 0) << c.version;
        EXPECT_EQ(key.extraB, c.extraBC ? 103 : 10) << c.version;
        EXPECT_EQ(key.extraC, c.extraBC ? -3 : 0) << c.version;
        EXPECT_STREQ(soundDirectory, c.directory ? "C:\\Dir" : "C:\\Before") << c.version;
        EXPECT_EQ(key.extraD, c.extraD ? 23 : 1) << c.version;
    }
}

TEST_F(SetupFileBytes, ANewerVersionReadsAsTheNewestLayoutAndSaysSo) {
    setSoundDirectory("C:\\New");
    keyBank.slots[46].extraD = 4321;
    Bytes bytes = olderFile(composeSetupBytes(), 7996, 1039 + 6);
    bytes.push_back(0xAB);  // whatever a newer version added is ignored
    startInstrument();
    soundDirectory[0] = '\0';
    document.modified = true;
    EXPECT_EQ(readSetupBytes(bytes.data(), bytes.size()), SetupReadResult::ReadNewerVersion);
    EXPECT_STREQ(soundDirectory, "C:\\New");
    EXPECT_EQ(keyBank.slots[46].extraD, 4321);
    EXPECT_FALSE(document.modified);

    putWordAt(bytes, 0, 7995);
    EXPECT_EQ(readSetupBytes(bytes.data(), bytes.size()), SetupReadResult::Read);
}

TEST_F(SetupFileBytes, AFileCutShortAnywhereChangesNothing) {
    giveEveryKeyDistinctFields();
    masterVolume = 3;
    setSoundDirectory("C:\\Sounds");
    Bytes newest = composeSetupBytes();
    Bytes newer = olderFile(newest, 8000, newest.size());
    Bytes v6066 = olderFile(newest, 6066, 568);
    Bytes v7500 = olderFile(newest, 7500, 944);

    startInstrument();
    masterVolume = 8;
    setSoundDirectory("C:\\Current");
    document.modified = true;
    auto before = allKeyFields();
    for (const Bytes* file : {&newest, &newer, &v6066, &v7500}) {
        for (size_t length = 0; length < file->size(); ++length) {
            callLog.clear();
            Bytes cut(file->begin(), file->begin() + static_cast<long>(length));
            ASSERT_EQ(readSetupBytes(cut.data(), cut.size()), SetupReadResult::TooShort) << length;
            ASSERT_EQ(allKeyFields(), before) << length;
            ASSERT_EQ(masterVolume, 8) << length;
            ASSERT_STREQ(soundDirectory, "C:\\Current") << length;
            ASSERT_TRUE(document.modified) << length;
        }
    }
    EXPECT_EQ(readSetupBytes(nullptr, 0), SetupReadResult::TooShort);
    EXPECT_TRUE(callLog.empty()) << "the reader itself shows nothing";
}

// Version 8000: the version-7995 layout, then the extension that holds the
// keys' properties.
class SetupFileExtension : public SetupFileBytes {
protected:
    using Outcome = std::pair<SetupReadResult, SetupExtensionResult>;
    static constexpr size_t KeyRecordSize = 14;
    static constexpr size_t KeyPropertiesSectionSize = 8 + KeyCount * KeyRecordSize;
    static constexpr size_t EndSectionSize = 8;

    void SetUp() override {
        SetupFileBytes::SetUp();
        giveEveryKeyDistinctFields();
        masterVolume = 7;
        setSoundDirectory("C:\\Sounds\\Drums");
        giveEveryKeyDistinctProperties(0);
        extended = composeSetupBytes();
        saved = allKeyProperties();
    }

    // Unlike the defaults and one another, but for key 1 at its defaults and
    // the last key at the highest of every range; shifted, unlike the saved ones.
    static void giveEveryKeyDistinctProperties(int shift) {
        for (int k = 0; k < KeyCount; ++k) {
            KeySlot& key = keyBank.slots[k];
            key.chokeGroup = static_cast<int16_t>((k + shift) % ChokeGroupCount + 1);
            key.fadeInMilliseconds = static_cast<int16_t>(200 * k + shift + 1);
            key.fadeOutMilliseconds = static_cast<int16_t>(10000 - 200 * k - shift);
            key.startMilliseconds = 78000 * k + shift;
            key.endMilliseconds = 1000 * k + 7 + shift;  // before the start from key 1 on: kept as set
        }
        clearProperties(keyBank.slots[1]);
        KeySlot& last = keyBank.slots[KeyCount - 1];
        last.chokeGroup = ChokeGroupCount;
        last.fadeInMilliseconds = last.fadeOutMilliseconds = LongestFadeMilliseconds;
        last.startMilliseconds = last.endMilliseconds = LatestPointMilliseconds;
    }

    static void clearProperties(KeySettings& key) {
        key.chokeGroup = key.fadeInMilliseconds = key.fadeOutMilliseconds = 0;
        key.startMilliseconds = key.endMilliseconds = 0;
    }

    static Outcome readBoth(const Bytes& bytes) {
        SetupExtensionResult extension = SetupExtensionResult::Read;
        SetupReadResult result = readSetupBytes(bytes.data(), bytes.size(), extension);
        EXPECT_TRUE(callsStartingWith("dialog").empty());
        return {result, extension};
    }

    size_t extensionAt() const { return extended.size() - KeyPropertiesSectionSize - EndSectionSize; }
    size_t recordAt(int key) const { return extensionAt() + 8 + KeyRecordSize * static_cast<size_t>(key); }
    Bytes keyPropertiesBody() const {
        return Bytes(extended.begin() + static_cast<long>(recordAt(0)), extended.end() - EndSectionSize);
    }
    // The file's version-7995 part (with the version word 8000) followed by the sections and an end section.
    Bytes fileOf(std::initializer_list<Bytes> sections) const {
        Bytes file(extended.begin(), extended.begin() + static_cast<long>(extensionAt()));
        for (const Bytes& section : sections) file.insert(file.end(), section.begin(), section.end());
        Bytes end = setupSection("END ", {});
        file.insert(file.end(), end.begin(), end.end());
        return file;
    }

    Bytes extended;
    std::array<Properties, KeyCount> saved;
};

const std::pair<SetupReadResult, SetupExtensionResult> Whole = {SetupReadResult::Read, SetupExtensionResult::Read};
const std::pair<SetupReadResult, SetupExtensionResult> Damaged = {SetupReadResult::Read, SetupExtensionResult::Damaged};

TEST_F(SetupFileExtension, KeyPropertiesAreWrittenAfterTheVersion7995FileOfTheSameKeysUnderVersion8000) {
    for (KeySlot& key : keyBank.slots) clearProperties(key);
    Bytes base = composeSetupBytes();  // the same keys, every property at its default
    ASSERT_EQ(base.size(), 1039u + 15);
    EXPECT_EQ(wordAt(base, 0), 7995);
    ASSERT_EQ(extended.size(), base.size() + KeyPropertiesSectionSize + EndSectionSize);
    EXPECT_EQ(wordAt(extended, 0), 8000);
    EXPECT_EQ(Bytes(extended.begin() + 2, extended.begin() + static_cast<long>(base.size())),
              Bytes(base.begin() + 2, base.end()));

    auto at = extended.begin() + static_cast<long>(base.size());
    EXPECT_EQ(Bytes(at, at + 8), (Bytes{'K', 'E', 'Y', 'P', 0x00, 0x00, 0x02, 0x92}));
    EXPECT_EQ(Bytes(at + 8, at + 22), (Bytes{0x00, 0x01, 0x00, 0x01, 0x27, 0x10, 0, 0, 0, 0, 0, 0, 0, 0x07}));
    EXPECT_EQ(Bytes(at + 22, at + 36), Bytes(14, 0));  // key 1, at its defaults
    EXPECT_EQ(Bytes(extended.end() - 22, extended.end()),
              (Bytes{0x00, 0x10, 0x27, 0x10, 0x27, 0x10, 0x00, 0x36, 0xEE, 0x80, 0x00,
                     0x36, 0xEE, 0x80, 'E',  'N',  'D',  ' ',  0,    0,    0,    0}));

    // Read over other properties: the fields its version-7995 file gives, and the properties.
    read(base);
    auto fieldsOfBase = allKeyFields();
    giveEveryKeyDistinctFields();
    giveEveryKeyDistinctProperties(3);
    document.modified = true;
    EXPECT_EQ(readBoth(extended), Whole);
    EXPECT_EQ(allKeyFields(), fieldsOfBase);
    EXPECT_EQ(allKeyProperties(), saved);
    EXPECT_FALSE(document.modified);
}

TEST_F(SetupFileExtension, OpeningAnySetupGivesEveryKeyItsDefaultPropertiesFirst) {
    for (KeySlot& key : keyBank.slots) clearProperties(key);
    Bytes base = composeSetupBytes();
    Bytes onlyUnknown = fileOf({setupSection("BANK", {1, 2, 3})});
    for (const Bytes& file : {base, olderFile(base, 6066, 568), onlyUnknown}) {
        giveEveryKeyDistinctProperties(2);
        EXPECT_TRUE(read(file));
        EXPECT_TRUE(everyKeyHasDefaultProperties()) << wordAt(file, 0);
    }
}

TEST_F(SetupFileExtension, SectionsOfANewerQuillpadArePassedOverWhereverTheyStand) {
    Bytes unknownFirst = extended;
    Bytes first = setupSection("BANK", Bytes(300, 0xEE));
    Bytes empty = setupSection("file", {});
    unknownFirst.insert(unknownFirst.begin() + static_cast<long>(extensionAt()), empty.begin(), empty.end());
    unknownFirst.insert(unknownFirst.begin() + static_cast<long>(extensionAt()), first.begin(), first.end());
    // Ids are matched exactly: this is no key properties section of the wrong length.
    Bytes unknownAfter = withSectionsBeforeEnd(extended, setupSection("keyp", {1, 2, 3}));
    for (const Bytes* file : {&unknownFirst, &unknownAfter}) {
        giveEveryKeyDistinctProperties(5);
        EXPECT_EQ(readBoth(*file), (Outcome{SetupReadResult::Read, SetupExtensionResult::UnknownSections}));
        EXPECT_EQ(allKeyProperties(), saved);
    }
}

TEST_F(SetupFileExtension, AFileCutShortAnywhereInItsExtensionOpensItsOldPartWithDefaultProperties) {
    Bytes file = withSectionsBeforeEnd(extended, setupSection("BANK", Bytes(20, 0x42)));
    read(file);
    auto fieldsRead = allKeyFields();

    startInstrument();
    masterVolume = 8;
    setSoundDirectory("C:\\Current");
    giveEveryKeyDistinctProperties(1);
    document.modified = true;
    auto fieldsBefore = allKeyFields();
    auto propertiesBefore = allKeyProperties();
    for (size_t length = 0; length < file.size(); ++length) {
        Bytes cut(file.begin(), file.begin() + static_cast<long>(length));
        if (length < extensionAt()) {
            // Ascending, so nothing has been read yet: a short file changes nothing, properties neither.
            ASSERT_EQ(readBoth(cut).first, SetupReadResult::TooShort) << length;
            ASSERT_EQ(allKeyFields(), fieldsBefore) << length;
            ASSERT_EQ(allKeyProperties(), propertiesBefore) << length;
            ASSERT_TRUE(document.modified) << length;
            continue;
        }
        giveEveryKeyDistinctProperties(1);
        ASSERT_EQ(readBoth(cut), Damaged) << length;
        ASSERT_EQ(allKeyFields(), fieldsRead) << length;
        ASSERT_TRUE(everyKeyHasDefaultProperties()) << length;
        ASSERT_EQ(masterVolume, 7) << length;
        ASSERT_STREQ(soundDirectory, "C:\\Sounds\\Drums") << length;
    }
}

TEST_F(SetupFileExtension, AValueOutOfRangeOrAMalformedSectionOpensTheOldPartWithDefaultProperties) {
    auto withWord = [&](size_t offset, int value) {
        Bytes file = extended;
        putWordAt(file, offset, value);
        return file;
    };
    auto withLong = [&](size_t offset, uint32_t value) {
        Bytes file = extended;
        for (int i = 0; i < 4; ++i) file[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
        return file;
    };
    Bytes body = keyPropertiesBody();
    Bytes shortBody(body.begin(), body.end() - 1);
    Bytes longBody = body;
    longBody.push_back(0);
    Bytes noEnd(extended.begin(), extended.end() - EndSectionSize);
    Bytes fullEnd = noEnd;
    Bytes endWithAByte = setupSection("END ", {0});
    fullEnd.insert(fullEnd.end(), endWithAByte.begin(), endWithAByte.end());
    const std::pair<const char*, Bytes> damaged[] = {
        {"choke group 17", withWord(recordAt(0), 17)},
        {"choke group -1", withWord(recordAt(5), -1)},
        {"fade in 10001", withWord(recordAt(7) + 2, 10001)},
        {"fade out -1", withWord(recordAt(46) + 4, -1)},
        {"start 3600001", withLong(recordAt(9) + 6, 3600001)},
        {"end 2^31", withLong(recordAt(9) + 10, 0x80000000u)},
        {"a section a byte short", fileOf({setupSection("KEYP", shortBody)})},
        {"a section a byte long", fileOf({setupSection("KEYP", longBody)})},
        {"a length past the file's end", fileOf({setupSection("KEYP", body, 0xFFFFFFFFu)})},
        {"an id that is no text", fileOf({setupSection("BA\x01K", {}), setupSection("KEYP", body)})},
        {"the section twice", fileOf({setupSection("KEYP", body), setupSection("KEYP", body)})},
        {"an end section that is not empty", fullEnd},
        {"no end section", noEnd},
    };
    for (const auto& [what, file] : damaged) {
        giveEveryKeyDistinctProperties(1);
        masterVolume = 3;
        keyBank.slots[13].note = 0;
        EXPECT_EQ(readBoth(file), Damaged) << what;
        EXPECT_TRUE(everyKeyHasDefaultProperties()) << what;
        EXPECT_EQ(masterVolume, 7) << what;
        EXPECT_EQ(keyBank.slots[13].note, 19) << what;
    }
    // The same files, made whole, read.
    EXPECT_EQ(readBoth(fileOf({setupSection("KEYP", body)})), Whole);
    EXPECT_EQ(allKeyProperties(), saved);
}

TEST_F(SetupFileExtension, VersionsFrom7996To7999WarnAndSkipIt8000TakesItQuietlyAndNewerOnesWarnAndTakeIt) {
    struct Case {
        int version;
        SetupReadResult result;
        bool takesProperties;
    };
    const Case cases[] = {
        {7996, SetupReadResult::ReadNewerVersion, false},
        {7999, SetupReadResult::ReadNewerVersion, false},
        {8000, SetupReadResult::Read, true},
        {8001, SetupReadResult::ReadNewerVersion, true},
        {32767, SetupReadResult::ReadNewerVersion, true},
    };
    for (const Case& c : cases) {
        giveEveryKeyDistinctProperties(4);
        masterVolume = 3;
        EXPECT_EQ(readBoth(olderFile(extended, c.version, extended.size())),
                  (Outcome{c.result, SetupExtensionResult::Read}))
            << c.version;
        EXPECT_EQ(masterVolume, 7) << c.version;
        if (c.takesProperties) EXPECT_EQ(allKeyProperties(), saved) << c.version;
        else EXPECT_TRUE(everyKeyHasDefaultProperties()) << c.version;
    }
}

// The banks but the first, each a section of the extension of its own.
class SetupFileBanks : public SetupFileExtension {
protected:
    using KeyValues = std::array<int32_t, 16>;
    using BankValues = std::array<KeyValues, KeyCount>;
    static constexpr size_t BankSectionSize = 8 + 2 + KeyCount * 34;

    static KeyValues valuesOf(const KeySettings& key) {
        return {key.note,
                key.triggerMode,
                key.soundIndex,
                key.extraA,
                key.volume,
                key.pan,
                key.fineTune,
                key.muted,
                key.extraB,
                key.extraC,
                key.extraD,
                key.chokeGroup,
                key.fadeInMilliseconds,
                key.fadeOutMilliseconds,
                key.startMilliseconds,
                key.endMilliseconds};
    }
    static BankValues valuesOfBank(int bank) {
        BankValues values;
        for (int k = 0; k < KeyCount; ++k) values[k] = valuesOf(bankOf(bank).slots[k]);
        return values;
    }
    // What a saved bank's keys open as: extraA -1, unmuted, a sounding toggle
    // idle, a pan out of range centred.
    static BankValues asOpened(BankValues values) {
        for (KeyValues& key : values) {
            key[3] = -1;
            key[7] = 0;
            if (key[1] == ToggleStopRunning) key[1] = ToggleStop;
            if (key[1] == ToggleFinishRunning) key[1] = ToggleFinish;
            if (key[5] < 1 || key[5] > 200) key[5] = 100;
        }
        return values;
    }
    // Every stored field of every key unlike the start-up ones and unlike the
    // same key's in another bank; key 5 sounding, key 6 with a pan out of range.
    static void giveBankDistinctSettings(int bank) {
        const int16_t modes[] = {HoldFinish, HoldStop, ToggleStop, ToggleFinish};
        for (int k = 0; k < KeyCount; ++k) {
            KeySlot& key = bankOf(bank).slots[k];
            key.note = static_cast<int16_t>(k + 10 * bank);
            key.triggerMode = modes[(k + bank) % 4];
            key.soundIndex = static_cast<int16_t>(100 * bank + k);
            key.extraA = static_cast<int16_t>(k - 50);
            key.volume = static_cast<int16_t>(8 * k + bank);
            key.pan = static_cast<int16_t>(4 * k + bank + 1);
            key.fineTune = static_cast<int16_t>(bank - k);
            key.muted = 1;
            key.extraB = static_cast<int16_t>(-k - bank);
            key.extraC = static_cast<int16_t>(1000 + k + bank);
            key.extraD = static_cast<int16_t>(30000 - k - bank);
            key.chokeGroup = static_cast<int16_t>((k + bank) % (ChokeGroupCount + 1));
            key.fadeInMilliseconds = static_cast<int16_t>(200 * k + bank);
            key.fadeOutMilliseconds = static_cast<int16_t>(10000 - 200 * k - bank);
            key.startMilliseconds = 76000 * k + bank;
            key.endMilliseconds = LatestPointMilliseconds - k - bank;
        }
        bankOf(bank).slots[5].triggerMode = ToggleFinishRunning;
        bankOf(bank).slots[6].pan = 0;
    }
    static bool everyBankButTheFirstHoldsTheStartUpLayout() {
        for (int b = 1; b < BankCount; ++b)
            if (!holdsStartUpLayout(b)) return false;
        return true;
    }
    // Where the bank sections begin in a file with the same base part and KEYP as extended.
    size_t banksAt() const { return extensionAt() + KeyPropertiesSectionSize; }
    Bytes sectionAt(const Bytes& file, size_t at) const {
        return Bytes(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + BankSectionSize));
    }
};

TEST_F(SetupFileBanks, ThreeEditedBanksComeBackWithEveryStoredSettingAfterEveryBankIsReset) {
    for (int bank : {1, 4, 7}) giveBankDistinctSettings(bank);
    std::array<BankValues, BankCount> before;
    for (int b = 0; b < BankCount; ++b) before[b] = valuesOfBank(b);
    Bytes bytes = composeSetupBytes();
    ASSERT_EQ(bytes.size(), extended.size() + 3 * BankSectionSize);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(banksAt())),
              Bytes(extended.begin(), extended.begin() + static_cast<long>(banksAt())));
    for (int i = 0; i < 3; ++i) {
        size_t at = banksAt() + static_cast<size_t>(i) * BankSectionSize;
        EXPECT_EQ(Bytes(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + 10),
                  (Bytes{'K', 'B', 'N', 'K', 0x00, 0x00, 0x06, 0x40, 0x00, static_cast<uint8_t>(2 + 3 * i)}))
            << i;
    }

    startInstrument();
    document.modified = true;
    EXPECT_EQ(readBoth(bytes), Whole);
    EXPECT_EQ(shownBank, 0);
    for (int bank : {0, 1, 4, 7}) EXPECT_EQ(valuesOfBank(bank), asOpened(before[bank])) << "bank " << bank + 1;
    for (int bank : {2, 3, 5, 6}) EXPECT_TRUE(holdsStartUpLayout(bank)) << "bank " << bank + 1;
    EXPECT_EQ(masterVolume, 7);
    EXPECT_FALSE(document.modified);
}

TEST_F(SetupFileBanks, Bank1AloneIsWrittenAsBeforeAndAnotherBankAsASectionOfItsOwn) {
    startInstrument();
    const Bytes fresh = composeSetupBytes();
    // Bank 2 sounding and muted, bank 7 edited and edited back: their settings are the start-up ones.
    bankOf(1).slots[30].triggerMode = ToggleStopRunning;
    bankOf(1).slots[31].muted = 1;
    bankOf(6).slots[0].note = 99;
    bankOf(6).slots[0].note = 48;
    EXPECT_EQ(composeSetupBytes(), fresh);
    keyBank.slots[2].chokeGroup = 4;
    Bytes withProperties = composeSetupBytes();
    EXPECT_EQ(withProperties.size(), fresh.size() + KeyPropertiesSectionSize + EndSectionSize);
    keyBank.slots[2].chokeGroup = 0;

    bankOf(2).slots[5].note = 70;
    Bytes bytes = composeSetupBytes();
    ASSERT_EQ(bytes.size(), fresh.size() + BankSectionSize + EndSectionSize);
    EXPECT_EQ(wordAt(bytes, 0), 8000);
    EXPECT_EQ(Bytes(bytes.begin() + 2, bytes.begin() + static_cast<long>(fresh.size())),
              Bytes(fresh.begin() + 2, fresh.end()));
    auto at = bytes.begin() + static_cast<long>(fresh.size());
    EXPECT_EQ(Bytes(at, at + 10), (Bytes{'K', 'B', 'N', 'K', 0x00, 0x00, 0x06, 0x40, 0x00, 0x03}));
    Bytes key0 = {0x00, 0x30, 0x03, 0xE0, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x64,
                  0x00, 0x32, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x01};
    key0.resize(34, 0x00);
    EXPECT_EQ(Bytes(at + 10, at + 44), key0);
    EXPECT_EQ(wordAt(bytes, fresh.size() + 10 + 5 * 34), 70);
    EXPECT_EQ(Bytes(bytes.end() - 8, bytes.end()), (Bytes{'E', 'N', 'D', ' ', 0, 0, 0, 0}));
}

TEST_F(SetupFileBanks, TheBankShownIsNotSavedAndASetupOpensOnBank1) {
    giveBankDistinctSettings(2);
    const Bytes shownFirst = composeSetupBytes();
    const BankValues first = valuesOfBank(0);
    const BankValues third = valuesOfBank(2);
    showBank(2);
    EXPECT_EQ(composeSetupBytes(), shownFirst);

    giveBankDistinctSettings(0);
    giveBankDistinctSettings(2);
    giveBankDistinctSettings(5);
    callLog.clear();
    EXPECT_EQ(readBoth(shownFirst), Whole);
    EXPECT_EQ(shownBank, 0);
    EXPECT_EQ(callLog, (std::vector<std::string>{"panel showShownBank"}));
    EXPECT_EQ(valuesOfBank(0), asOpened(first));
    EXPECT_EQ(valuesOfBank(2), asOpened(third));
    EXPECT_TRUE(holdsStartUpLayout(5));

    // A file of bank 1 alone, of any version, leaves every other bank at the start-up layout.
    for (const Bytes& file : {olderFile(shownFirst, 6066, 568), olderFile(shownFirst, 7995, SetupBaseSize + 15)}) {
        for (int bank : {0, 1, 3, 7}) giveBankDistinctSettings(bank);
        showBank(3);
        EXPECT_TRUE(read(file));
        EXPECT_EQ(shownBank, 0) << wordAt(file, 0);
        EXPECT_TRUE(everyBankButTheFirstHoldsTheStartUpLayout()) << wordAt(file, 0);
        EXPECT_EQ(keyBank.slots[13].note, 19) << wordAt(file, 0);
    }
}

TEST_F(SetupFileBanks, AFileWithBanksCutShortAnywhereOpensOnlyItsOldPartOnBank1) {
    giveBankDistinctSettings(1);
    giveBankDistinctSettings(7);
    const Bytes file = composeSetupBytes();
    ASSERT_EQ(file.size(), extended.size() + 2 * BankSectionSize);
    read(file);
    const auto fieldsRead = allKeyFields();

    startInstrument();
    giveBankDistinctSettings(3);
    showBank(3);
    masterVolume = 8;
    const std::array<BankValues, 2> before = {valuesOfBank(0), valuesOfBank(3)};
    for (size_t length = 0; length < file.size(); ++length) {
        Bytes cut(file.begin(), file.begin() + static_cast<long>(length));
        if (length < extensionAt()) {
            // Ascending, so nothing has been read yet: a short file changes nothing, the bank shown neither.
            ASSERT_EQ(readBoth(cut).first, SetupReadResult::TooShort) << length;
            ASSERT_EQ(shownBank, 3) << length;
            ASSERT_EQ((std::array<BankValues, 2>{valuesOfBank(0), valuesOfBank(3)}), before) << length;
            ASSERT_EQ(masterVolume, 8) << length;
            continue;
        }
        giveBankDistinctSettings(length % 2 ? 1 : 6);
        giveEveryKeyDistinctProperties(1);
        ASSERT_EQ(readBoth(cut), Damaged) << length;
        ASSERT_EQ(shownBank, 0) << length;
        ASSERT_EQ(allKeyFields(), fieldsRead) << length;
        ASSERT_TRUE(everyKeyHasDefaultProperties()) << length;
        ASSERT_TRUE(everyBankButTheFirstHoldsTheStartUpLayout()) << length;
        ASSERT_EQ(masterVolume, 7) << length;
    }
}

TEST_F(SetupFileBanks, ADamagedBankSectionDropsEveryBankAndTheKeyPropertiesButValuesTheBaseMendsAreMended) {
    giveBankDistinctSettings(1);
    giveBankDistinctSettings(3);
    const Bytes banks = composeSetupBytes();
    const BankValues second = valuesOfBank(1);
    const BankValues fourth = valuesOfBank(3);
    const Bytes properties = setupSection("KEYP", keyPropertiesBody());
    const Bytes secondSection = sectionAt(banks, banksAt());
    const Bytes fourthSection = sectionAt(banks, banksAt() + BankSectionSize);
    const Bytes body(fourthSection.begin() + 8, fourthSection.end());
    auto withWord = [&](size_t offset, int value) {
        Bytes changed = body;
        putWordAt(changed, offset, value);
        return fileOf({properties, secondSection, setupSection("KBNK", changed)});
    };
    auto withLong = [&](size_t offset, uint32_t value) {
        Bytes changed = body;
        putWordAt(changed, offset, static_cast<int>(value >> 16));
        putWordAt(changed, offset + 2, static_cast<int>(value & 0xFFFF));
        return fileOf({properties, secondSection, setupSection("KBNK", changed)});
    };
    auto record = [](int key) { return 2 + 34 * static_cast<size_t>(key); };
    const Bytes shortBody(body.begin(), body.end() - 1);
    Bytes longBody = body;
    longBody.push_back(0);
    const std::pair<const char*, Bytes> damaged[] = {
        {"bank number 1", withWord(0, 1)},
        {"bank number 0", withWord(0, 0)},
        {"bank number 9", withWord(0, 9)},
        {"bank number -1", withWord(0, -1)},
        {"bank 2 twice", fileOf({secondSection, properties, secondSection})},
        {"a section a byte short", fileOf({secondSection, setupSection("KBNK", shortBody)})},
        {"a section a byte long", fileOf({secondSection, setupSection("KBNK", longBody)})},
        {"a length past the file's end", fileOf({secondSection, setupSection("KBNK", body, 0xFFFFFFFFu)})},
        {"choke group 17", withWord(record(3) + 20, 17)},
        {"fade in -1", withWord(record(0) + 22, -1)},
        {"fade out 10001", withWord(record(46) + 24, 10001)},
        {"start 3600001", withLong(record(9) + 26, 3600001)},
        {"end 2^31", withLong(record(9) + 30, 0x80000000u)},
    };
    for (const auto& [what, file] : damaged) {
        giveBankDistinctSettings(5);
        giveEveryKeyDistinctProperties(1);
        showBank(5);
        EXPECT_EQ(readBoth(file), Damaged) << what;
        EXPECT_EQ(shownBank, 0) << what;
        EXPECT_TRUE(everyKeyHasDefaultProperties()) << what;
        EXPECT_TRUE(everyBankButTheFirstHoldsTheStartUpLayout()) << what;
        EXPECT_EQ(keyBank.slots[13].note, 19) << what;
    }

    // Made whole, in any order, they read; the note word, a sounding toggle and a pan out of range are not damage.
    Bytes mended = body;
    putWordAt(mended, record(8), -32768);
    putWordAt(mended, record(5) + 2, ToggleFinishRunning);
    const Bytes file = fileOf({setupSection("KBNK", mended), secondSection, properties});
    EXPECT_EQ(readBoth(file), Whole);
    EXPECT_EQ(allKeyProperties(), saved);
    EXPECT_EQ(valuesOfBank(1), asOpened(second));
    BankValues expected = asOpened(fourth);
    expected[8][0] = -32768;
    EXPECT_EQ(valuesOfBank(3), expected);
    EXPECT_EQ(bankOf(3).slots[5].triggerMode, ToggleFinish);
    EXPECT_EQ(bankOf(3).slots[6].pan, 100);
}

}  // namespace

namespace {

class SetupFileOwnFiles : public SetupFileBytes {
protected:
    static std::string ownFileOf(int bank, int key) {
        int16_t number = bankOf(bank).slots[key].ownFile;
        return number > 0 ? soundBank.ownFiles[static_cast<size_t>(number - 1)].path : "";
    }
    static void give(int bank, int key, const std::string& path) {
        KeySlot& slot = bankOf(bank).slots[key];
        slot.ownFile = ownFileNumber(path);
        slot.soundIndex = -1;
    }
    static Bytes savedAs(const char* setupPath) {
        std::snprintf(document.setupPath, PathCapacity, "%s", setupPath);
        return composeSetupBytes();
    }
    static SetupExtensionResult openedAs(const char* setupPath, const Bytes& bytes) {
        std::snprintf(document.setupPath, PathCapacity, "%s", setupPath);
        SetupExtensionResult extension = SetupExtensionResult::Read;
        EXPECT_EQ(readSetupBytes(bytes.data(), bytes.size(), extension), SetupReadResult::Read);
        return extension;
    }
};

TEST_F(SetupFileOwnFiles, AKitMovedWithItsFilesFindsThemAndOtherFilesKeepTheirWholePath) {
    setSoundDirectory("C:\\Kits\\Sounds");
    give(0, 0, "C:\\Kits\\Live\\Loops\\beat.mp3");     // under the setup's folder
    give(2, 5, "D:\\Samples\\pad.flac");               // elsewhere, in bank 3
    Bytes bytes = savedAs("C:\\kits\\live\\Set.qpd");  // Windows' names know no case
    EXPECT_EQ(bytes[1], 0x40) << "version 8000";
    EXPECT_EQ((Bytes{bytes[6], bytes[7]}), (Bytes{0xFF, 0xFF})) << "an older reader gives key 0 no sound";
    std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("Loops\\beat.mp3"), std::string::npos);
    EXPECT_EQ(text.find("Live\\Loops"), std::string::npos) << "stored relative to the setup's folder";

    initKeyBanks();
    ASSERT_EQ(openedAs("E:\\Moved\\Set.qpd", bytes), SetupExtensionResult::Read);
    EXPECT_EQ(ownFileOf(0, 0), "E:\\Moved\\Loops\\beat.mp3");
    EXPECT_EQ(ownFileOf(2, 5), "D:\\Samples\\pad.flac");
    EXPECT_EQ(bankOf(2).slots[5].soundIndex, -1);
    EXPECT_EQ(ownFileOf(0, 1), "");
    EXPECT_EQ(savedAs("E:\\Moved\\Set.qpd"), bytes) << "saved again where it was opened: the same bytes";
}

TEST_F(SetupFileOwnFiles, AKeyGivenAListEntryAgainIsSavedWithoutItsFileAndAsBefore) {
    setSoundDirectory("C:\\Sounds");
    Bytes before = savedAs("C:\\Set.qpd");
    int16_t entry = keyBank.slots[3].soundIndex;
    give(0, 3, "C:\\x.wav");
    keyBank.slots[3].ownFile = 0;
    keyBank.slots[3].soundIndex = entry;
    EXPECT_EQ(savedAs("C:\\Set.qpd"), before);
}

TEST_F(SetupFileOwnFiles, ADamagedOwnFilesSectionOpensTheOldPartWithNoOwnFiles) {
    give(0, 4, "C:\\Kit\\a.wav");
    Bytes bytes = savedAs("C:\\Kit\\Set.qpd");
    size_t section = std::string(bytes.begin(), bytes.end()).find("KFIL");
    ASSERT_NE(section, std::string::npos);
    for (size_t at : {section + 8 + 2 + 2 + 1, section + 8 + 2 + 4}) {  // the key: 47; the relative flag: 2
        Bytes damaged = bytes;
        damaged[at] = at == section + 8 + 2 + 4 ? 2 : 47;
        initKeyBanks();
        EXPECT_EQ(openedAs("C:\\Kit\\Set.qpd", damaged), SetupExtensionResult::Damaged) << at;
        EXPECT_EQ(keyBank.slots[4].ownFile, 0) << at;
    }
    for (size_t cut = section; cut < bytes.size(); ++cut) {
        initKeyBanks();
        Bytes shortened(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        EXPECT_EQ(openedAs("C:\\Kit\\Set.qpd", shortened), SetupExtensionResult::Damaged) << cut;
        EXPECT_EQ(keyBank.slots[4].ownFile, 0) << cut;
    }
}

}  // namespace
