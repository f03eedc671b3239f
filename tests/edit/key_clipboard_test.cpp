// Copy and Paste of a key's settings, with the Paste item it enables.
#include "edit/key_clipboard.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "edit/undo.h"
#include "fakes/fake_menu.h"
#include "setup/document.h"
#include "support/edit_commands_fixture.h"

namespace {

class CopyPaste : public EditCommands {};

TEST_F(CopyPaste, CopyEnablesPasteAndChangesNeitherTheKeyNorTheFlagNorTheSnapshot) {
    keyBank.slots[0].extraA = 7;
    copyKey();
    EXPECT_EQ(callLog, (Calls{"panel refreshSelectedKey", "menu enable 40007"}));
    EXPECT_TRUE(fakeMenu.enabled.at(PasteItem));
    EXPECT_FALSE(document.modified);
    EXPECT_TRUE(undoSnapshot.empty);
    EXPECT_EQ(keyBank.slots[0].extraA, 7);
    EXPECT_EQ(keyClipboard.settings.extraA, -1);
    EXPECT_EQ(keyClipboard.settings.note, 48);
}

TEST_F(CopyPaste, PasteIsGreyedUntilTheFirstCopyAndNeverGreyedAgain) {
    pressNoteUp();
    undoRedo();
    EXPECT_EQ(fakeMenu.enabled.count(PasteItem), 0u);
    copyKey();
    select(3);
    pasteKey();
    undoRedo();
    EXPECT_TRUE(fakeMenu.enabled.at(PasteItem));
    EXPECT_EQ(callsStartingWith("menu grey"), Calls{});
}

TEST_F(CopyPaste, PasteGivesTheSecondKeyTheFirstKeysSoundPanAndVolumeInOrder) {
    loadSounds(25);
    select(30);  // sound 6
    keyBank.slots[30].pan = 170;
    keyBank.slots[30].volume = 250;
    copyKey();
    select(2);  // sound 0
    FakeVoice& old = voiceOf(2);
    callLog.clear();

    pasteKey();
    EXPECT_EQ(keyBank.slots[2].soundIndex, 6);
    EXPECT_EQ(keyBank.slots[2].pan, 170);
    EXPECT_EQ(keyBank.slots[2].volume, 250);
    EXPECT_TRUE(playsSound(2, 6));
    EXPECT_TRUE(old.released);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(undoSnapshot.keyIndex, 2);
    EXPECT_EQ(undoSnapshot.settings.soundIndex, 0);
    EXPECT_EQ(callLog, (Calls{"panel invalidateKeyCap 2", "menu enable 40005", "menu text 40005 " + UndoText, capOf(2),
                              old.name + " Release", "device DuplicateSoundBuffer sound6",
                              "panel invalidateTriggerModeButtons", "panel refreshSelectedKey"}));
}

TEST_F(CopyPaste, PasteUnmutesAndPutsARunningModeBackToItsIdleForm) {
    keyBank.slots[30].triggerMode = ToggleStopRunning;  // copied while its loop sounds
    keyBank.slots[30].muted = 1;
    keyBank.slots[31].triggerMode = ToggleFinishRunning;
    keyBank.slots[40].muted = 1;
    select(30);
    copyKey();
    EXPECT_EQ(keyClipboard.settings.triggerMode, ToggleStopRunning);
    select(40);
    pasteKey();
    EXPECT_EQ(keyBank.slots[40].triggerMode, ToggleStop);
    EXPECT_EQ(keyBank.slots[40].muted, 0);

    select(31);
    copyKey();
    select(41);
    pasteKey();
    EXPECT_EQ(keyBank.slots[41].triggerMode, ToggleFinish);
}

TEST_F(CopyPaste, CopyThenPasteOntoTheSameKeyUnmutesIdlesAndRenewsItsVoice) {
    loadSounds(25);
    select(26);  // sound 2, ToggleStop
    KeySlot& key = keyBank.slots[26];
    key.note = 66;
    key.fineTune = -12;
    key.triggerMode = ToggleStopRunning;
    key.muted = 1;
    FakeVoice& old = voiceOf(26);
    std::vector<int> before = fieldsOf(key);
    copyKey();
    pasteKey();

    std::vector<int> expected = before;
    expected[4] = ToggleStop;  // trigger mode
    expected[9] = 0;           // muted
    EXPECT_EQ(fieldsOf(key), expected);
    EXPECT_TRUE(old.released);
    EXPECT_TRUE(playsSound(26, 2));
    EXPECT_TRUE(document.modified);

    undoRedo();
    EXPECT_EQ(key.muted, 1);
    EXPECT_EQ(key.note, 66);
    // The restored sound gets a fresh, silent voice, so the latch goes back to idle.
    EXPECT_EQ(key.triggerMode, ToggleStop);
}

}  // namespace
