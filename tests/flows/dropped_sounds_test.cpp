// Sound files dropped onto a key cap: the keys they fill, their order, the
// one Undo step, and the clipboard carrying a key's own file.
#include "flows/dropped_sounds.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "edit/key_clipboard.h"
#include "edit/undo.h"
#include "fakes/fake_external_file.h"
#include "keys/key_selection.h"
#include "library/sound_list_window.h"
#include "setup/document.h"
#include "support/sound_files_fixture.h"

namespace {

class DroppingSoundFiles : public SixSoundsFixture {
protected:
    static std::string ownFileOf(int key) {
        int16_t number = keyBank.slots[key].ownFile;
        return number > 0 ? soundBank.ownFiles[static_cast<size_t>(number - 1)].path : "";
    }
    static FakeVoice* ownBuffer(int key) {
        return static_cast<FakeVoice*>(soundBank.ownFiles[static_cast<size_t>(keyBank.slots[key].ownFile - 1)].buffer);
    }
};

TEST_F(DroppingSoundFiles, FilesFillTheKeyAndTheNextSortedAsTheListAndOneUndoTakesThemBack) {
    std::string zeta = files.write("zeta.wav", wavetest::simpleWave(wavetest::countingBytes(40)));
    std::string alpha = files.write("alpha.aif", wavetest::simpleWave(wavetest::countingBytes(20)));
    std::string notes = files.write("notes.txt", {'h', 'i'});
    const int q = 13;
    int16_t qSound = keyBank.slots[q].soundIndex, wSound = keyBank.slots[q + 1].soundIndex;
    ASSERT_TRUE(dropSoundFilesOnKey(q, {alpha, notes, zeta}));
    EXPECT_EQ(ownFileOf(q), zeta) << "WAV files first, as the list has them";
    EXPECT_EQ(ownFileOf(q + 1), alpha);
    EXPECT_EQ(ownFileOf(q + 2), "") << "the text file is passed over";
    EXPECT_EQ(keyBank.slots[q].soundIndex, -1);
    EXPECT_EQ(keyBank.selectedKey, q);
    EXPECT_TRUE(document.modified);
    EXPECT_TRUE(isKeySoundLoading(keyBank.slots[q]));
    takeSoundsOnceDecoded(2);
    ASSERT_NE(voiceOf(q), nullptr);
    EXPECT_EQ(voiceOf(q)->name.rfind(ownBuffer(q)->name + ".voice", 0), 0u);
    EXPECT_EQ(ownBuffer(q)->memory.size(), 41u);
    // alpha.aif holds a WAV: it cannot be read as what it is named, and is said once.
    EXPECT_EQ(voiceOf(q + 1), nullptr);
    EXPECT_EQ(callsStartingWith("dialog message").size(), 1u);

    undoRedo();
    EXPECT_EQ(keyBank.slots[q].ownFile, 0);
    EXPECT_EQ(keyBank.slots[q + 1].ownFile, 0);
    EXPECT_TRUE(playsSound(q, qSound));
    EXPECT_TRUE(playsSound(q + 1, wSound));
    undoRedo();
    EXPECT_EQ(ownFileOf(q), zeta);
    EXPECT_EQ(ownFileOf(q + 1), alpha);
}

TEST_F(DroppingSoundFiles, TheLastKeyEndsTheFillAndADropOfNoSoundOrOnNoKeyChangesNothing) {
    std::vector<std::string> three = {files.folder + "/a.wav", files.folder + "/b.wav", files.folder + "/c.wav"};
    EXPECT_FALSE(dropSoundFilesOnKey(-1, three));
    EXPECT_FALSE(dropSoundFilesOnKey(3, {files.folder + "/readme.txt", files.folder + "/live.qpd"}));
    EXPECT_EQ(keyBank.slots[3].ownFile, 0);
    EXPECT_FALSE(document.modified);
    ASSERT_TRUE(dropSoundFilesOnKey(KeyCount - 2, three));
    EXPECT_EQ(ownFileOf(KeyCount - 2), three[0]);
    EXPECT_EQ(ownFileOf(KeyCount - 1), three[1]);
}

TEST_F(DroppingSoundFiles, AShortcutCountsAsTheSoundItPointsToByItsLongName) {
    fakeShell.shortcuts["C:\\Desktop\\Pad.lnk"] = "C:\\SOUNDS~1\\LONGPA~1.FLA";
    fakeShell.longPaths["C:\\SOUNDS~1\\LONGPA~1.FLA"] = "C:\\Sounds Of Mine\\Long Pad.flac";
    fakeShell.shortcuts["C:\\Desktop\\Notes.lnk"] = "C:\\NOTES.TXT";
    fakeShell.longPaths["C:\\NOTES.TXT"] = "C:\\notes.txt";
    ASSERT_TRUE(dropSoundFilesOnKey(30, {"C:\\Desktop\\Notes.lnk", "C:\\Desktop\\Pad.lnk"}));
    EXPECT_EQ(ownFileOf(30), "C:\\Sounds Of Mine\\Long Pad.flac");
    EXPECT_EQ(ownFileOf(31), "");
}

TEST_F(DroppingSoundFiles, CopyAndPasteCarryAKeysOwnFileAndAListClickReplacesIt) {
    std::string kick = files.write("kick.wav", wavetest::simpleWave(wavetest::countingBytes(30)));
    ASSERT_TRUE(dropSoundFilesOnKey(2, {kick}));
    takeSoundsOnceDecoded(1);
    copyKey();
    selectKeyFromPanel(20);
    pasteKey();
    EXPECT_EQ(ownFileOf(20), kick);
    EXPECT_EQ(voiceOf(20)->name.rfind(ownBuffer(20)->name + ".voice", 0), 0u);
    soundListSelect(4);
    assignSelectedSoundFromList();
    EXPECT_EQ(keyBank.slots[20].ownFile, 0);
    EXPECT_TRUE(playsSound(20, 4));
}

}  // namespace
