// What notes do to the keys: a press as the computer key's without the Alt
// gestures, scaled by the velocity, merged with the computer keyboard's holds.
#include "midi/note_playing.h"

#include <gtest/gtest.h>
#include <string>

#include "keys/key_volume.h"
#include "keys/keyboard_map.h"
#include "midi/note_map.h"
#include "support/key_bank_fixture.h"

namespace {

constexpr unsigned GraveKey = 0xC0;          // the computer key of key 0
constexpr uint32_t FirstPress = 0x00290001;  // its key-down's flags: no repeat
const Calls StartKey0 = restartCalls(0, 22050, -5000, -890);
const Calls StopKey0 = {"voice0 Stop", "panel drawMuteButton", capOf(0)};

class PlayingFromMidi : public KeyBankFixture {};

TEST_F(PlayingFromMidi, ANoteOnPressesItsKeyAsItsComputerKeyDoesWithoutTheAltGestures) {
    FakeVoice& voice = giveVoice(0);
    fakeInput.alt = true;
    fakeInput.ctrl = true;
    onNoteOn(0, 36, 127);
    EXPECT_EQ(callLog, joined(StartKey0, {capOf(0)}));
    callLog.clear();
    onNoteOff(0, 36);
    EXPECT_EQ(callLog, StopKey0);
    EXPECT_FALSE(voice.playing);

    // Toggles latch at the first note and end at the next, the note-offs changing nothing.
    giveVoice(26);
    onNoteOn(0, 62, 127);
    onNoteOff(0, 62);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);
    EXPECT_TRUE(voiceOf(26).playing);
    onNoteOn(0, 62, 127);
    EXPECT_FALSE(voiceOf(26).playing);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
}

TEST_F(PlayingFromMidi, VelocityScalesTheStartAndEveryLaterVolumeChangeOfThatPress) {
    FakeVoice& voice = giveVoice(0);
    onNoteOn(0, 36, 64);
    EXPECT_EQ(callLog, joined(restartCalls(0, 22050, -5000, -890 - 1165), {capOf(0)}));
    masterVolume = 5;
    applyKeyVolume(0);
    EXPECT_EQ(voice.volume, -3558 - 1165);
    keyBank.slots[0].volume = 0;
    applyKeyVolume(0);
    EXPECT_EQ(voice.volume, -10000);  // never below silence
    onNoteOff(0, 36);

    keyBank.slots[0].volume = 100;
    masterVolume = 10;
    onKeyDownMessage(GraveKey, FirstPress);  // the computer keyboard plays at the key's own level
    EXPECT_EQ(voice.volume, -890);
}

TEST_F(PlayingFromMidi, AKeyHeldFromTheKeyboardAndFromANoteSoundsUntilBothLetGo) {
    FakeVoice& voice = giveVoice(0);
    onKeyDownMessage(GraveKey, FirstPress);
    callLog.clear();
    onNoteOn(0, 36, 127);
    onKeyUpMessage(GraveKey);
    onKeyDownMessage(GraveKey, FirstPress);  // pressed again while the note holds it: still the one press
    onNoteOff(0, 36);
    EXPECT_TRUE(callLog.empty());
    EXPECT_TRUE(voice.playing);
    onKeyUpMessage(GraveKey);
    EXPECT_EQ(callLog, StopKey0);

    // The other way round, with a second note on the same key and a second input.
    bindNoteToKey(90, 0);
    onNoteOn(0, 36, 127);
    onNoteOn(1, 90, 127);
    onKeyDownMessage(GraveKey, FirstPress);
    callLog.clear();
    onNoteOff(0, 36);
    onKeyUpMessage(GraveKey);
    onNoteOff(0, 90);  // input 0 does not hold note 90
    EXPECT_TRUE(callLog.empty());
    EXPECT_TRUE(voice.playing);
    onNoteOff(1, 90);
    EXPECT_EQ(callLog, StopKey0);
}

TEST_F(PlayingFromMidi, LosingTheKeyboardLeavesKeysThatNotesHold) {
    FakeVoice& voice = giveVoice(0);
    onNoteOn(0, 36, 127);
    onKeyDownMessage(GraveKey, FirstPress);
    releaseHeldKeys();
    EXPECT_TRUE(voice.playing);
    onNoteOff(0, 36);
    EXPECT_FALSE(voice.playing);
}

TEST_F(PlayingFromMidi, ANoteOffReleasesTheKeyItsNoteOnPressedThoughLearnMovedTheNote) {
    FakeVoice& first = giveVoice(0);
    FakeVoice& second = giveVoice(1);
    onNoteOn(0, 36, 127);
    bindNoteToKey(36, 1);
    onNoteOff(0, 36);
    EXPECT_FALSE(first.playing);
    EXPECT_FALSE(second.playing);

    // Moved while held and struck again without a note-off: the old key lets go, the new one plays.
    bindNoteToKey(36, 0);
    onNoteOn(0, 36, 127);
    bindNoteToKey(36, 1);
    onNoteOn(0, 36, 127);
    EXPECT_FALSE(first.playing);
    EXPECT_TRUE(second.playing);
    onNoteOff(0, 36);
    EXPECT_FALSE(second.playing);
}

TEST_F(PlayingFromMidi, TheSameNoteAgainWithoutANoteOffPressesAgainLikeAnAutoRepeat) {
    giveVoice(0);
    onNoteOn(0, 36, 127);
    callLog.clear();
    onNoteOn(0, 36, 100);
    EXPECT_EQ(callLog, joined(restartCalls(0, 22050, -5000, -890 - 410), {capOf(0)}));
    onNoteOff(0, 36);
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_EQ(keyBank.midiHolds[0], 0);
}

TEST_F(PlayingFromMidi, ReleasingAnInputsNotesLetsGoOfItsKeysAlone) {
    giveEveryKeyAVoice();
    onNoteOn(0, 36, 127);  // HoldStop
    onNoteOn(0, 49, 127);  // HoldFinish: plays its pass to the end
    onNoteOn(0, 62, 127);  // ToggleStop: stays latched
    onNoteOn(1, 37, 127);
    onNoteOn(0, 37, 127);  // held by both inputs
    releaseDeviceNotes(0);
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_EQ(keyBank.finishing[13], 1);
    EXPECT_TRUE(voiceOf(26).playing);
    EXPECT_TRUE(voiceOf(1).playing);
    callLog.clear();
    releaseDeviceNotes(0);  // nothing held any more
    EXPECT_TRUE(callLog.empty());
    releaseDeviceNotes(1);
    EXPECT_FALSE(voiceOf(1).playing);
}

TEST_F(PlayingFromMidi, KillAllForgetsTheNotesHeldSoNoKeyStaysDeafToItsComputerKey) {
    FakeVoice& voice = giveVoice(0);
    onNoteOn(0, 36, 127);
    killAllSounds();
    EXPECT_FALSE(voice.playing);
    onKeyDownMessage(GraveKey, FirstPress);  // the note-off never came: the key still plays
    EXPECT_TRUE(voice.playing);
    onKeyUpMessage(GraveKey);
    callLog.clear();
    onNoteOff(0, 36);
    EXPECT_TRUE(callLog.empty());
}

TEST_F(PlayingFromMidi, NotesAndInputsOutOfRangeDoNothing) {
    giveEveryKeyAVoice();
    for (int note : {-1, 0, 35, 83, 127, 128, 100000}) onNoteOn(0, note, 127);
    for (int device : {-1, MidiDeviceCapacity, 1000}) {
        onNoteOn(device, 36, 127);
        onNoteOff(device, 36);
        releaseDeviceNotes(device);
    }
    onNoteOff(0, 200);
    EXPECT_TRUE(callLog.empty());
}

}  // namespace
