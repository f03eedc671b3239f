// The All Keys commands: every key changed at once, as one step of Undo,
// without cutting a sound.
#include "edit/all_keys.h"

#include <gtest/gtest.h>

#include "edit/undo.h"
#include "setup/document.h"
#include "support/edit_commands_fixture.h"

namespace {

class AllKeysCommands : public EditCommands {
protected:
    void SetUp() override {
        EditCommands::SetUp();
        loadSounds(23);
        for (int k = 0; k < KeyCount; ++k) {
            keyBank.slots[k].pan = static_cast<int16_t>(1 + k * 4);
            keyBank.slots[k].volume = static_cast<int16_t>(k * 8);
            keyBank.slots[k].fineTune = static_cast<int16_t>(k * 4 - 90);
        }
        select(5);
        voiceOf(20).playing = true;
        before = keyBank;
        callLog.clear();
    }
    KeyBank before;
};

TEST_F(AllKeysCommands, VolumeHundredIsHeardAtOnceAndOneUndoPutsEveryKeyBack) {
    allKeysVolume100();
    for (int k = 0; k < KeyCount; ++k) EXPECT_EQ(keyBank.slots[k].volume, 100) << k;
    EXPECT_EQ(voiceOf(20).volume, -890) << "heard at once";
    EXPECT_TRUE(voiceOf(20).playing) << "no sound cut";
    EXPECT_TRUE(callsStartingWith("voice20 Stop").empty());
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.selectedKey, 5);

    undoRedo();
    for (int k = 0; k < KeyCount; ++k) EXPECT_EQ(fieldsOf(keyBank.slots[k]), fieldsOf(before.slots[k])) << k;
    EXPECT_EQ(keyBank.selectedKey, 5);
    EXPECT_TRUE(voiceOf(20).playing);
    undoRedo();
    for (int k = 0; k < KeyCount; ++k) EXPECT_EQ(keyBank.slots[k].volume, 100) << k;
}

TEST_F(AllKeysCommands, MonoAndPitchZeroChangeOnlyTheirOwnSettingAndReachNoVoiceBeforeItsNextStart) {
    allKeysMono();
    allKeysPitchZero();
    for (int k = 0; k < KeyCount; ++k) {
        EXPECT_EQ(keyBank.slots[k].pan, 100) << k;
        EXPECT_EQ(keyBank.slots[k].fineTune, 0) << k;
        EXPECT_EQ(keyBank.slots[k].volume, before.slots[k].volume) << k;
        EXPECT_EQ(keyBank.slots[k].note, before.slots[k].note) << k;
    }
    EXPECT_TRUE(callsStartingWith("voice").empty());
    // One level of Undo: the last command alone is taken back.
    undoRedo();
    for (int k = 0; k < KeyCount; ++k) {
        EXPECT_EQ(keyBank.slots[k].fineTune, before.slots[k].fineTune) << k;
        EXPECT_EQ(keyBank.slots[k].pan, 100) << k;
    }
}

TEST_F(AllKeysCommands, AKeyEditAfterwardsIsWhatUndoTakesBack) {
    allKeysVolume100();
    pressNoteUp();
    undoRedo();
    EXPECT_EQ(keyBank.slots[5].note, before.slots[5].note);
    EXPECT_EQ(keyBank.slots[7].volume, 100);
}

}  // namespace
