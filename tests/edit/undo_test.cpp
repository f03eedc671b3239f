// One level of Undo/Redo for the key edited last, with the Edit menu item it
// enables and relabels.
#include "edit/undo.h"

#include <gtest/gtest.h>
#include <string>

#include "edit/key_clipboard.h"
#include "fakes/fake_menu.h"
#include "fakes/fake_sound_list_window.h"
#include "flows/sound_loading.h"
#include "keys/key_banks.h"
#include "panel/editing.h"
#include "setup/document.h"
#include "support/edit_commands_fixture.h"

namespace {

class UndoMenuItem : public EditCommands {};
class Undo : public EditCommands {};

TEST_F(UndoMenuItem, EmptyThenReadyToUndoThenReadyToRedo) {
    EXPECT_TRUE(undoSnapshot.empty);
    EXPECT_EQ(fakeMenu.enabled.count(UndoItem), 0u);  // greyed at start-up, untouched since

    pressNoteUp();
    EXPECT_TRUE(fakeMenu.enabled.at(UndoItem));
    EXPECT_EQ(fakeMenu.texts.at(UndoItem), UndoText);
    EXPECT_FALSE(undoSnapshot.redo);

    undoRedo();
    EXPECT_EQ(fakeMenu.texts.at(UndoItem), RedoText);
    EXPECT_TRUE(undoSnapshot.redo);
    undoRedo();
    EXPECT_EQ(fakeMenu.texts.at(UndoItem), UndoText);
    EXPECT_FALSE(undoSnapshot.redo);
    undoRedo();
    EXPECT_EQ(fakeMenu.texts.at(UndoItem), RedoText);

    // A new edit while ready to redo: ready to undo that edit.
    pressNoteUp();
    EXPECT_EQ(fakeMenu.texts.at(UndoItem), UndoText);
    EXPECT_FALSE(undoSnapshot.redo);
    EXPECT_TRUE(callsStartingWith("menu grey").empty());
}

TEST_F(UndoMenuItem, SnapshotEnablesTheItemThenSetsItsText) {
    takeUndoSnapshot();
    EXPECT_EQ(callLog, (Calls{"menu enable 40005", "menu text 40005 " + UndoText}));
}

TEST_F(UndoMenuItem, WithoutASnapshotOrACopyTheCommandsChangeNothing) {
    KeyBank before = keyBank;
    undoRedo();
    pasteKey();
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(fieldsOf(keyBank.slots[0]), fieldsOf(before.slots[0]));
    EXPECT_FALSE(document.modified);
}

TEST_F(Undo, TwiceReturnsToTheEditAndAThirdTimeUndoesItAgain) {
    pressNoteUp();
    EXPECT_EQ(keyBank.slots[0].note, 49);
    undoRedo();
    EXPECT_EQ(keyBank.slots[0].note, 48);
    undoRedo();
    EXPECT_EQ(keyBank.slots[0].note, 49);
    undoRedo();
    EXPECT_EQ(keyBank.slots[0].note, 48);
}

TEST_F(Undo, SelectsTheSnapshotsKeyAndLeavesTheOtherKeyAlone) {
    select(5);
    editVolume(ValueButton::Up);
    select(20);
    KeySettings key20 = keyBank.slots[20];
    callLog.clear();

    undoRedo();
    EXPECT_EQ(keyBank.selectedKey, 5);
    EXPECT_EQ(keyBank.slots[5].volume, 100);
    EXPECT_EQ(fieldsOf(keyBank.slots[20]), fieldsOf(key20));
    EXPECT_EQ(callLog,
              (Calls{"panel invalidateKeyCap 20", capOf(20), "panel invalidateKeyCap 5",
                     "panel invalidateTriggerModeButtons", "panel refreshSelectedKey", "menu text 40005 " + RedoText,
                     "panel invalidateTriggerModeButtons", "panel refreshSelectedKey"}));
}

TEST_F(Undo, AHeldPressIsUndoneAsAWhole) {
    select(5);
    fakeInput.tickStep = 0;
    fakeInput.leftButtonPolls = 5000;
    fakeInput.onLeftButtonPoll = [] {
        ++fakeInput.ticks;
        if (keyBank.slots[5].volume == 130) fakeInput.leftButtonPolls = 0;  // released here
    };
    editVolume(ValueButton::Up);
    fakeInput.onLeftButtonPoll = nullptr;
    EXPECT_EQ(keyBank.slots[5].volume, 130);
    EXPECT_EQ(callsStartingWith("menu text").size(), 1u);

    undoRedo();
    EXPECT_EQ(keyBank.slots[5].volume, 100);
}

TEST_F(Undo, LeavesTheModifiedFlagAsItIs) {
    pressNoteUp();
    document.modified = false;
    undoRedo();
    EXPECT_FALSE(document.modified);
    document.modified = true;
    undoRedo();
    EXPECT_TRUE(document.modified);
}

TEST_F(Undo, ClickingTheLitTriggerModeButtonTakesANewSnapshot) {
    pressNoteUp();
    setTriggerModeFromPanel(HoldStop);  // key 0 is HoldStop already
    undoRedo();
    EXPECT_EQ(keyBank.slots[0].note, 49);  // the note edit can no longer be undone
    EXPECT_EQ(keyBank.slots[0].triggerMode, HoldStop);
}

TEST_F(Undo, APanDragGoesIntoTheSnapshotAndComesBackWithRedo) {
    pressNoteUp();  // key 0: note 48 -> 49, pan 50 saved
    fakeInput.pointerX = 530;
    fakeInput.leftButtonPolls = 1;
    dragPan(keyBank.slots[0].pan, 500);  // 30 pixels right: pan 150
    EXPECT_EQ(keyBank.slots[0].pan, 150);
    EXPECT_EQ(callsStartingWith("menu text").size(), 1u);

    undoRedo();
    EXPECT_EQ(keyBank.slots[0].pan, 50);
    EXPECT_EQ(keyBank.slots[0].note, 48);
    undoRedo();
    EXPECT_EQ(keyBank.slots[0].pan, 150);
    EXPECT_EQ(keyBank.slots[0].note, 49);
}

TEST_F(Undo, TheKeyGetsAFreshVoiceOfItsRestoredSound) {
    loadSounds(3);
    select(26);  // sound 2
    FakeVoice& sounding = voiceOf(26);
    sounding.playing = true;

    fakeSoundList.entries = {"a.wav", "b.wav", "c.wav"};
    fakeSoundList.selection = 0;
    assignSelectedSoundFromList();  // takes the snapshot with sound 2
    EXPECT_TRUE(playsSound(26, 0));
    FakeVoice& chosen = voiceOf(26);
    chosen.playing = true;

    undoRedo();
    EXPECT_EQ(keyBank.slots[26].soundIndex, 2);
    EXPECT_TRUE(playsSound(26, 2));
    EXPECT_TRUE(chosen.released);  // the sounding key falls silent
    EXPECT_NE(&voiceOf(26), &sounding);
}

TEST_F(Undo, ASnapshotTakenWhileLatchedComesBackIdleOnAKeyThatIsNotSounding) {
    loadSounds(3);
    select(26);  // sound 2, a toggle
    keyBank.slots[26].triggerMode = ToggleStopRunning;
    voiceOf(26).playing = true;
    pressNoteUp();  // the snapshot holds the running code
    killAllSounds();
    // The restored sound is past the bank: the key keeps its silent voice, and
    // a latched code would make its next press only unlatch it.
    undoSnapshot.settings.soundIndex = 7;
    undoRedo();
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
    undoRedo();  // the redo side was saved idle by Kill All; it stays so
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
}

TEST_F(Undo, RestoresTheKeyInTheBankItWasTakenFromAndShowsThatBank) {
    loadSounds(3);
    select(14);
    pressNoteUp();  // bank 1's key 14: note 62
    showBank(4);
    pressNoteUp();  // bank 5's key 14
    showBank(1);
    undoRedo();
    EXPECT_EQ(shownBank, 4);
    EXPECT_EQ(keyBank.slots[14].note, 61);
    EXPECT_EQ(bankOf(0).slots[14].note, 62);
}

}  // namespace
