// The Key Properties command: the dialog's values, and OK as one undoable change.
#include "edit/key_properties.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "edit/undo.h"
#include "fakes/fake_key_properties_dialog.h"
#include "fakes/fake_sound_list_window.h"
#include "setup/document.h"
#include "support/edit_commands_fixture.h"

namespace {

class KeyPropertiesDialog : public EditCommands {};

TEST_F(KeyPropertiesDialog, OkAppliesEveryValueAsOneStepThatUndoTakesBackAndRedoGivesAgain) {
    loadSounds(3);
    select(14);  // the W key, sound 1
    keyBank.slots[14].fadeInMilliseconds = 5;
    fakeKeyPropertiesDialog.answer = std::vector<int32_t>{2, 40, 500, 120, 900};
    callLog.clear();
    editKeyProperties();
    EXPECT_EQ(callLog.front(), "dialog key properties W 0 5 0 0 0");
    const KeySlot& slot = keyBank.slots[14];
    EXPECT_EQ(slot.chokeGroup, 2);
    EXPECT_EQ(slot.fadeInMilliseconds, 40);
    EXPECT_EQ(slot.fadeOutMilliseconds, 500);
    EXPECT_EQ(slot.startMilliseconds, 120);
    EXPECT_EQ(slot.endMilliseconds, 900);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(callsStartingWith("device DuplicateSoundBufferPart"),
              (Calls{"device DuplicateSoundBufferPart sound1 120 900"}))
        << "new points: a fresh voice of that part";

    undoRedo();
    EXPECT_EQ(keyBank.slots[14].fadeInMilliseconds, 5);
    EXPECT_EQ(keyBank.slots[14].startMilliseconds, 0);
    EXPECT_EQ(keyBank.slots[14].chokeGroup, 0);
    undoRedo();
    EXPECT_EQ(keyBank.slots[14].endMilliseconds, 900);
    EXPECT_EQ(keyBank.slots[14].chokeGroup, 2);
}

TEST_F(KeyPropertiesDialog, CancelOrOkWithNothingChangedLeavesTheKeyTheSetupAndUndoAlone) {
    loadSounds(3);
    select(3);
    editKeyProperties();  // no answer: Cancel
    fakeKeyPropertiesDialog.answer = std::vector<int32_t>{0, 0, 0, 0, 0};
    editKeyProperties();
    EXPECT_FALSE(document.modified);
    EXPECT_TRUE(undoSnapshot.empty);
    EXPECT_EQ(callsStartingWith("device").size(), 0u);
}

TEST_F(KeyPropertiesDialog, NewFadesReachTheKeysVoiceWithoutCuttingItsSound) {
    loadSounds(3);
    select(26);
    FakeVoice& voice = voiceOf(26);
    voice.playing = true;
    fakeKeyPropertiesDialog.answer = std::vector<int32_t>{0, 0, 700, 0, 0};
    editKeyProperties();
    EXPECT_EQ(&voiceOf(26), &voice);
    EXPECT_EQ(voice.fadeOut, 700u);
    EXPECT_TRUE(voice.playing);
}

}  // namespace

namespace {

TEST_F(KeyPropertiesDialog, ItShowsTheKeysSoundAndClearTakesItAwayAsOneStep) {
    loadSounds(3);
    fakeSoundList.entries = {"a.wav", "b.wav", "c.wav"};
    select(14);  // the W key, sound 1
    fakeKeyPropertiesDialog.answer = std::vector<int32_t>{0, 0, 0, 0, 0};
    editKeyProperties();
    EXPECT_EQ(fakeKeyPropertiesDialog.soundShown, "List entry 2: b.wav");
    keyBank.slots[14].ownFile = ownFileNumber("D:\\Loops\\beat.mp3");
    keyBank.slots[14].soundIndex = -1;
    fakeKeyPropertiesDialog.clearsSound = true;
    editKeyProperties();
    EXPECT_EQ(fakeKeyPropertiesDialog.soundShown, "D:\\Loops\\beat.mp3");
    EXPECT_EQ(keyBank.slots[14].ownFile, 0);
    EXPECT_EQ(keyBank.slots[14].voice, nullptr);
    EXPECT_TRUE(document.modified);
    undoRedo();
    EXPECT_EQ(keyBank.slots[14].ownFile, 1);
}

}  // namespace
