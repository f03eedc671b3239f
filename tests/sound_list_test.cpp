#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "fakes/call_log.h"
#include "support/program_state.h"
#include "fakes/fake_audio_device.h"
#include "fakes/fake_sound_list.h"
#include "keys/key_bank.h"
#include "library/sound_directory.h"
#include "setup/document.h"

namespace {

class SoundListTest : public ::testing::Test {
protected:
    void SetUp() override { resetProgramState(); }
    std::string row(int index, const char* name) {
        char text[PathCapacity + 16];
        soundListRowText(index, name, text);
        return text;
    }
};

TEST_F(SoundListTest, names_are_sorted_without_regard_to_case_whatever_the_search_order) {
    for (const char* name : {"c.WAV", "b.wav", "A.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeLibrary.entries, (std::vector<std::string>{"A.wav", "b.wav", "c.WAV"}));
}

TEST_F(SoundListTest, names_equal_apart_from_case_keep_the_order_the_search_found_them) {
    for (const char* name : {"Kick.wav", "snare.wav", "KICK.wav", "kick.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeLibrary.entries, (std::vector<std::string>{"Kick.wav", "KICK.wav", "kick.wav", "snare.wav"}));
}

TEST_F(SoundListTest, rows_show_a_two_digit_number_and_the_name_without_its_extension) {
    EXPECT_EQ(row(0, "kick.wav"), " 01  kick");
    EXPECT_EQ(row(8, "A.wav"), " 09  A");
    EXPECT_EQ(row(9, "b.wav"), " 10  b");
    EXPECT_EQ(row(99, "c.WAV"), " 100  c");
    EXPECT_EQ(row(0, "No Sounds Loaded.wav"), " 01  No Sounds Loaded");
    EXPECT_EQ(row(2, "ab"), " 03  ab");  // too short to have ".wav": shown whole
    EXPECT_EQ(row(2, ".wav"), " 03  ");
}

TEST_F(SoundListTest, a_missing_sound_folder_changes_nothing_and_restores_the_current_folder) {
    fakeLibrary.entries = {"No Sounds Loaded.wav"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/gone");
    EXPECT_FALSE(loadSoundDirectory());
    EXPECT_EQ(fakeLibrary.currentFolder, "/start");
    EXPECT_EQ(fakeLibrary.entries, (std::vector<std::string>{"No Sounds Loaded.wav"}));
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(fakeLibrary.windowTitle, "Quillpad Beta A");
}

TEST_F(SoundListTest, an_empty_sound_folder_name_is_not_loaded) {
    EXPECT_FALSE(loadSoundDirectory());
    EXPECT_TRUE(callsStartingWith("device").empty());
}

TEST_F(SoundListTest, loading_a_folder_refills_the_list_sorted_and_restores_the_current_folder) {
    fakeLibrary.entries = {"No Sounds Loaded.wav"};
    fakeLibrary.existingFolders = {"/sounds/Drums"};
    fakeLibrary.wavesInFolder = {"snare.wav", "Kick.wav", "hat.WAV"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/sounds/Drums");
    EXPECT_TRUE(loadSoundDirectory());
    EXPECT_EQ(fakeLibrary.entries, (std::vector<std::string>{"hat.WAV", "Kick.wav", "snare.wav"}));
    EXPECT_EQ(fakeLibrary.currentFolder, "/start");
    EXPECT_STREQ(soundDirectoryTitle, "Drums");
    EXPECT_EQ(fakeLibrary.windowTitle, "Untitled  using:  Drums");
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(soundBank.soundCount, 3);
}

TEST_F(SoundListTest, a_folder_without_sounds_empties_the_list_placeholder_included) {
    fakeLibrary.entries = {"No Sounds Loaded.wav"};
    fakeLibrary.existingFolders = {"/empty"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/empty");
    EXPECT_TRUE(loadSoundDirectory());
    EXPECT_TRUE(fakeLibrary.entries.empty());
    EXPECT_EQ(soundBank.soundCount, 0);
}

TEST_F(SoundListTest, the_title_and_modified_flag_change_before_any_sound_is_loaded) {
    fakeLibrary.existingFolders = {"/sounds/Pads"};
    fakeLibrary.wavesInFolder = {"pad.wav"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/sounds/Pads");
    loadSoundDirectory();
    auto title = std::find(callLog.begin(), callLog.end(), "title Untitled  using:  Pads");
    auto firstDeviceCall = std::find_if(callLog.begin(), callLog.end(),
                                        [](const std::string& call) { return call.rfind("device", 0) == 0; });
    ASSERT_NE(title, callLog.end());
    EXPECT_LT(title - callLog.begin(), firstDeviceCall - callLog.begin());
}

TEST_F(SoundListTest, import_takes_the_chosen_files_folder_or_changes_nothing_when_cancelled) {
    EXPECT_FALSE(importSounds());
    EXPECT_STREQ(soundDirectory, "");

    fakeLibrary.importChosen = true;
    fakeLibrary.importFolder = "/sounds/Keys";
    fakeLibrary.existingFolders = {"/sounds/Keys"};
    fakeLibrary.wavesInFolder = {"piano.wav"};
    EXPECT_TRUE(importSounds());
    EXPECT_STREQ(soundDirectory, "/sounds/Keys");
    EXPECT_EQ(fakeLibrary.entries, (std::vector<std::string>{"piano.wav"}));
}

TEST_F(SoundListTest, releasing_the_button_over_the_list_assigns_its_selection_to_the_selected_key) {
    fakeLibrary.entries = {"No Sounds Loaded.wav"};
    fakeLibrary.selection = 0;
    keyBank.selectedKey = 30;
    keyBank.slots[30].soundIndex = 6;
    assignSelectedSoundFromList();
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[30].soundIndex, 0);
    EXPECT_EQ(callsStartingWith("panel drawKeyCapLabelIdle"),
              (std::vector<std::string>{"panel drawKeyCapLabelIdle 30"}));

    // With no selection nothing is assigned, but the setup still counts as changed.
    document.modified = false;
    fakeLibrary.selection = -1;
    assignSelectedSoundFromList();
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[30].soundIndex, 0);
}

}  // namespace
