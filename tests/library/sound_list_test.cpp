#include "library/sound_list.h"

#include <strings.h>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_main_window.h"
#include "fakes/fake_sound_folder.h"
#include "fakes/fake_sound_list_window.h"
#include "flows/sound_loading.h"
#include "keys/key_bank.h"
#include "library/sound_directory.h"
#include "setup/document.h"
#include "support/program_test.h"

namespace {

class SoundListTest : public ProgramTest {
protected:
    std::string row(int index, const char* name) {
        char text[PathCapacity + 16];
        soundListRowText(index, name, text);
        return text;
    }
};

TEST_F(SoundListTest, NamesAreSortedWithoutRegardToCaseWhateverTheSearchOrder) {
    for (const char* name : {"c.WAV", "b.wav", "A.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"A.wav", "b.wav", "c.WAV"}));
}

TEST_F(SoundListTest, NamesEqualApartFromCaseKeepTheOrderTheSearchFoundThem) {
    for (const char* name : {"Kick.wav", "snare.wav", "KICK.wav", "kick.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"Kick.wav", "KICK.wav", "kick.wav", "snare.wav"}));
}

TEST_F(SoundListTest, ThousandsOfNamesAreSortedWithoutComparingEachWithAll) {
    std::vector<std::string> names;
    for (int i = 0; i < 4000; ++i) names.push_back("s" + std::to_string((i * 7919) % 4000) + ".wav");
    for (const std::string& name : names) insertSoundSorted(name.c_str());
    std::vector<std::string> sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    EXPECT_EQ(fakeSoundList.entries, sorted);
    EXPECT_LT(fakeSoundList.textQueries, 4000 * 13) << "each name looked at every entry before it";
}

TEST_F(SoundListTest, RowsShowATwoDigitNumberAndTheNameWithoutItsExtension) {
    EXPECT_EQ(row(0, "kick.wav"), " 01  kick");
    EXPECT_EQ(row(8, "A.wav"), " 09  A");
    EXPECT_EQ(row(9, "b.wav"), " 10  b");
    EXPECT_EQ(row(99, "c.WAV"), " 100  c");
    EXPECT_EQ(row(0, "No Sounds Loaded.wav"), " 01  No Sounds Loaded");
    EXPECT_EQ(row(2, "ab"), " 03  ab");  // too short to have ".wav": shown whole
    EXPECT_EQ(row(2, ".wav"), " 03  ");
}

TEST_F(SoundListTest, AMissingSoundFolderChangesNothingAndRestoresTheCurrentFolder) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/gone");
    EXPECT_FALSE(loadSoundDirectory());
    EXPECT_EQ(fakeSoundFolder.currentFolder, "/start");
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"No Sounds Loaded.wav"}));
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");
}

TEST_F(SoundListTest, AnEmptySoundFolderNameIsNotLoaded) {
    EXPECT_FALSE(loadSoundDirectory());
    EXPECT_TRUE(callsStartingWith("device").empty());
}

TEST_F(SoundListTest, LoadingAFolderRefillsTheListSortedAndRestoresTheCurrentFolder) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    fakeSoundFolder.existingFolders = {"/sounds/Drums"};
    fakeSoundFolder.wavesInFolder = {"snare.wav", "Kick.wav", "hat.WAV"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/sounds/Drums");
    EXPECT_TRUE(loadSoundDirectory());
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"hat.WAV", "Kick.wav", "snare.wav"}));
    EXPECT_EQ(fakeSoundFolder.currentFolder, "/start");
    EXPECT_STREQ(soundDirectoryTitle, "Drums");
    EXPECT_EQ(fakeMainWindow.title, "Untitled  using:  Drums");
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(soundBank.soundCount, 3);
}

TEST_F(SoundListTest, AFolderWithoutSoundsEmptiesTheListPlaceholderIncluded) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    fakeSoundFolder.existingFolders = {"/empty"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/empty");
    EXPECT_TRUE(loadSoundDirectory());
    EXPECT_TRUE(fakeSoundList.entries.empty());
    EXPECT_EQ(soundBank.soundCount, 0);
}

TEST_F(SoundListTest, TheTitleAndModifiedFlagChangeBeforeAnySoundIsLoaded) {
    fakeSoundFolder.existingFolders = {"/sounds/Pads"};
    fakeSoundFolder.wavesInFolder = {"pad.wav"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/sounds/Pads");
    loadSoundDirectory();
    auto title = std::find(callLog.begin(), callLog.end(), "title Untitled  using:  Pads");
    auto firstDeviceCall = std::find_if(callLog.begin(), callLog.end(),
                                        [](const std::string& call) { return call.rfind("device", 0) == 0; });
    ASSERT_NE(title, callLog.end());
    EXPECT_LT(title - callLog.begin(), firstDeviceCall - callLog.begin());
}

TEST_F(SoundListTest, ImportTakesTheChosenFilesFolderOrChangesNothingWhenCancelled) {
    EXPECT_FALSE(importSounds());
    EXPECT_STREQ(soundDirectory, "");

    fakeSoundFolder.importChosen = true;
    fakeSoundFolder.importFolder = "/sounds/Keys";
    fakeSoundFolder.existingFolders = {"/sounds/Keys"};
    fakeSoundFolder.wavesInFolder = {"piano.wav"};
    EXPECT_TRUE(importSounds());
    EXPECT_STREQ(soundDirectory, "/sounds/Keys");
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"piano.wav"}));
}

TEST_F(SoundListTest, ReleasingTheButtonOverTheListAssignsItsSelectionToTheSelectedKey) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    fakeSoundList.selection = 0;
    keyBank.selectedKey = 30;
    keyBank.slots[30].soundIndex = 6;
    assignSelectedSoundFromList();
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[30].soundIndex, 0);
    EXPECT_EQ(callsStartingWith("panel drawKeyCapLabelIdle"),
              (std::vector<std::string>{"panel drawKeyCapLabelIdle 30"}));

    // With no selection nothing is assigned, but the setup still counts as changed.
    document.modified = false;
    fakeSoundList.selection = -1;
    assignSelectedSoundFromList();
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[30].soundIndex, 0);
}

}  // namespace
