// One level of Undo/Redo for the key edited last, and Copy/Paste of a key's
// settings, with the Edit menu items they enable and relabel.
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "audio/sound_bank.h"
#include "edit/key_clipboard.h"
#include "edit/undo.h"
#include "fakes/fake_menu.h"
#include "fakes/fake_setup_storage.h"
#include "fakes/fake_sound_folder.h"
#include "fakes/fake_sound_list_window.h"
#include "flows/setup_commands.h"
#include "flows/sound_loading.h"
#include "library/sound_directory.h"
#include "panel/editing.h"
#include "panel/panel_actions.h"
#include "setup/document.h"
#include "setup/setup_file.h"
#include "support/key_bank_fixture.h"

namespace {

const std::string UndoText = "Undo\tCtrl+Z";
const std::string RedoText = "Redo\tCtrl+Z";
constexpr int UndoItem = 40005;
constexpr int PasteItem = 40007;

// The settings fields in their order, for comparing whole keys.
std::vector<int> fieldsOf(const KeySettings& s) {
    return {s.extraA, s.reservedByte1, s.reservedByte2, s.note,   s.triggerMode, s.soundIndex, s.volume,
            s.pan,    s.fineTune,      s.muted,         s.extraB, s.extraC,      s.extraD};
}

class EditCommands : public KeyBankFixture {
protected:
    // A loaded sound bank of count sounds whose buffers are named "sound<i>".
    void loadSounds(int count) {
        for (int i = 0; i < count; ++i) {
            fakeAudio.device.buffers.push_back(std::make_unique<FakeVoice>("sound" + std::to_string(i)));
            soundBank.soundBuffers.push_back(fakeAudio.device.buffers.back().get());
        }
        soundBank.soundCount = static_cast<int16_t>(count);
        for (KeySlot& slot : keyBank.slots)
            if (slot.soundIndex >= 0 && slot.soundIndex < count)
                audioDevice->DuplicateSoundBuffer(soundBank.soundBuffers[static_cast<size_t>(slot.soundIndex)],
                                                  &slot.voice);
        callLog.clear();
    }
    static bool playsSound(int key, int sound) {
        const Voice* voice = keyBank.slots[key].voice;
        return voice &&
               static_cast<const FakeVoice*>(voice)->name.rfind("sound" + std::to_string(sound) + ".voice", 0) == 0;
    }
    static void select(int key) { performPanelAction(6024 + key); }
    static void pressNoteUp() { editNote(ValueButton::Up); }
};

class UndoMenuItem : public EditCommands {};
class Undo : public EditCommands {};
class CopyPaste : public EditCommands {};
class EditRecords : public EditCommands {};

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

TEST_F(CopyPaste, SnapshotAndClipboardSurviveOpeningAnotherSetupWithItsSounds) {
    fakeSoundFolder.existingFolders = {"C:\\Sounds"};
    setSoundDirectory("C:\\Sounds");
    keyBank.slots[5].note = 70;
    fakeSetupStorage.files["C:\\Setups\\other.qpd"] = composeSetupBytes();
    keyBank.slots[5].note = 53;

    select(5);
    pressNoteUp();  // 53 -> 54
    copyKey();
    openSetupFile("C:\\Setups\\other.qpd");
    EXPECT_EQ(keyBank.slots[5].note, 70);
    EXPECT_FALSE(document.modified);
    EXPECT_TRUE(callsStartingWith("menu grey").empty());

    select(6);
    undoRedo();
    EXPECT_EQ(keyBank.selectedKey, 5);
    EXPECT_EQ(keyBank.slots[5].note, 53);
    select(6);
    pasteKey();
    EXPECT_EQ(keyBank.slots[6].note, 54);
    EXPECT_FALSE(undoSnapshot.empty);
    EXPECT_FALSE(keyClipboard.empty);
}

TEST_F(EditRecords, KeySettingsAreCopiedFieldByFieldAndTheVoiceStays) {
    KeySlot source;
    int16_t value = 1;
    source.extraA = value++;
    source.reservedByte1 = 200;
    source.reservedByte2 = 201;
    source.note = value++;
    source.triggerMode = value++;
    source.soundIndex = value++;
    source.volume = value++;
    source.pan = value++;
    source.fineTune = value++;
    source.muted = value++;
    source.extraB = value++;
    source.extraC = value++;
    source.extraD = value++;
    FakeVoice& voice = giveVoice(9);
    copyKeySettings(source, keyBank.slots[9]);
    EXPECT_EQ(fieldsOf(keyBank.slots[9]), fieldsOf(source));
    EXPECT_EQ(keyBank.slots[9].voice, &voice);
}

}  // namespace
