// Key presses and releases in every trigger mode, muting, Kill All and the idle poll.
#include "keys/playing.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "support/key_bank_fixture.h"

namespace {

constexpr SoundResult InvalidCall = static_cast<SoundResult>(0x88780032u);

// Start-up keys used below: key 0 HoldStop at note 48, pan 50, volume 100;
// key 13 HoldFinish at note 60, centre, volume 80; key 26 ToggleStop at note
// 60, centre, volume 100.
const Calls StartKey0 = restartCalls(0, 22050, -5000, -890);
const Calls StartKey13 = restartCalls(13, 44100, 0, -1815);
const Calls StartKey26 = restartCalls(26, 44100, 0, -890);

class HoldKeys : public KeyBankFixture {};
class ToggleKeys : public KeyBankFixture {};
class LostBuffer : public KeyBankFixture {};
class SilentKeys : public KeyBankFixture {};
class Muting : public KeyBankFixture {};
class MuteButton : public KeyBankFixture {};
class KillAll : public KeyBankFixture {};
class IdlePoll : public KeyBankFixture {};
class ChokeGroups : public KeyBankFixture {};
class FadingOut : public KeyBankFixture {};

TEST_F(HoldKeys, HoldStopKeyLoopsWhileHeldAndStopsAtRelease) {
    FakeVoice& voice = giveVoice(0);
    keyDown(0);
    EXPECT_EQ(callLog, joined(StartKey0, {capOf(0)}));
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(keyBank.slots[0].triggerMode, HoldStop);

    callLog.clear();
    keyBank.slots[0].muted = 1;
    keyUp(0);
    EXPECT_EQ(callLog, (Calls{"voice0 Stop", "panel drawMuteButton", capOf(0)}));
    EXPECT_FALSE(voice.playing);
    EXPECT_EQ(keyBank.slots[0].muted, 0);
    EXPECT_EQ(keyBank.slots[0].triggerMode, HoldStop);
    EXPECT_EQ(keyBank.finishing[0], 0);
}

TEST_F(HoldKeys, HoldFinishKeyReleaseLetsThePassPlayToTheEnd) {
    FakeVoice& voice = giveVoice(13);
    keyDown(13);
    EXPECT_EQ(callLog, joined(StartKey13, {capOf(13)}));

    callLog.clear();
    keyUp(13);
    EXPECT_EQ(callLog, (Calls{"voice13 Play 0", capOf(13)}));
    EXPECT_EQ(keyBank.finishing[13], 1);
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(keyBank.slots[13].triggerMode, HoldFinish);
}

TEST_F(HoldKeys, HoldFinishReleaseAfterTheSoundEndedDoesNothing) {
    FakeVoice& voice = giveVoice(13);
    keyDown(13);
    voice.playing = false;  // a short sound that has already run out
    callLog.clear();
    keyUp(13);
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.finishing[13], 0);
}

TEST_F(HoldKeys, AutoRepeatRestartsTheSoundFromTheBeginning) {
    giveVoice(0);
    giveVoice(13);
    for (int repeat = 0; repeat < 3; ++repeat) keyDown(0);
    keyDown(13);
    keyDown(13);
    Calls once0 = joined(StartKey0, {capOf(0)});
    Calls once13 = joined(StartKey13, {capOf(13)});
    EXPECT_EQ(callLog, joined(joined(joined(joined(once0, once0), once0), once13), once13));
}

TEST_F(HoldKeys, PressUsesTheKeysNoteFineTuneAndPan) {
    giveVoice(25);  // note 72: the table's 88199.99998 is truncated
    keyDown(25);
    EXPECT_EQ(callLog, joined(restartCalls(25, 88199, 0, -1815), {capOf(25)}));

    giveVoice(3);
    keyBank.slots[3].note = 60;
    keyBank.slots[3].fineTune = -50;
    keyBank.slots[3].pan = 200;
    keyBank.slots[3].volume = 25;
    callLog.clear();
    keyDown(3);
    EXPECT_EQ(callLog, joined(restartCalls(3, 42862, 10000, -5205), {capOf(3)}));
}

TEST_F(ToggleKeys, ToggleStopKeyFirstPressStartsReleaseKeepsItSounding) {
    FakeVoice& voice = giveVoice(26);
    keyDown(26);
    EXPECT_EQ(callLog, joined(StartKey26, {capOf(26)}));
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);

    callLog.clear();
    keyUp(26);
    EXPECT_TRUE(callLog.empty());
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);
}

TEST_F(ToggleKeys, ToggleStopKeySecondPressStops) {
    FakeVoice& voice = giveVoice(26);
    keyDown(26);
    keyUp(26);
    keyBank.slots[26].muted = 1;
    callLog.clear();
    keyDown(26);
    EXPECT_EQ(callLog, (Calls{"voice26 Stop", "panel drawMuteButton", capOf(26)}));
    EXPECT_FALSE(voice.playing);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
    EXPECT_EQ(keyBank.slots[26].muted, 0);

    // The release after the second press stops once more: nothing to hear.
    callLog.clear();
    keyUp(26);
    EXPECT_EQ(callLog, (Calls{"voice26 Stop", "panel drawMuteButton", capOf(26)}));
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);

    // And the third press starts it again.
    callLog.clear();
    keyDown(26);
    EXPECT_EQ(callLog, joined(StartKey26, {capOf(26)}));
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);
}

TEST_F(ToggleKeys, ToggleStopKeyAlternatesAtEachPress) {
    FakeVoice& voice = giveVoice(26);
    for (int repeat = 0; repeat < 4; ++repeat) {
        keyDown(26);
        EXPECT_EQ(voice.playing, repeat % 2 == 0) << "repeat " << repeat;
    }
    EXPECT_EQ(callsStartingWith("voice26 Play").size(), 2u);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
}

TEST_F(ToggleKeys, ToggleFinishKeySecondPressLetsThePassFinish) {
    FakeVoice& voice = giveVoice(30);
    keyBank.slots[30].triggerMode = ToggleFinish;
    keyDown(30);
    EXPECT_EQ(callLog, joined(restartCalls(30, 44100, 0, -890), {capOf(30)}));
    EXPECT_EQ(keyBank.slots[30].triggerMode, ToggleFinishRunning);

    callLog.clear();
    keyUp(30);
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.finishing[30], 0);

    keyDown(30);
    EXPECT_EQ(callLog, (Calls{"voice30 Play 0", capOf(30)}));
    EXPECT_EQ(keyBank.slots[30].triggerMode, ToggleFinish);
    EXPECT_EQ(keyBank.finishing[30], 1);
    EXPECT_TRUE(voice.playing);

    // The release after it repeats the finish, which changes nothing audible.
    callLog.clear();
    keyUp(30);
    EXPECT_EQ(callLog, (Calls{"voice30 Play 0", capOf(30)}));
    EXPECT_EQ(keyBank.slots[30].triggerMode, ToggleFinish);
}

TEST_F(ToggleKeys, RunningToggleFinishWhoseSoundStoppedOnlyGoesIdle) {
    FakeVoice& voice = giveVoice(30);
    keyBank.slots[30].triggerMode = ToggleFinish;
    keyDown(30);
    voice.playing = false;
    callLog.clear();
    keyDown(30);
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.slots[30].triggerMode, ToggleFinish);
    EXPECT_EQ(keyBank.finishing[30], 0);

    keyDown(30);
    EXPECT_EQ(callLog, joined(restartCalls(30, 44100, 0, -890), {capOf(30)}));
    EXPECT_EQ(keyBank.slots[30].triggerMode, ToggleFinishRunning);
}

TEST_F(ToggleKeys, UnknownModeLoopsOnPressAndIgnoresRelease) {
    FakeVoice& voice = giveVoice(0);
    keyBank.slots[0].triggerMode = 1000;
    keyDown(0);
    EXPECT_EQ(callLog, joined(StartKey0, {capOf(0)}));
    callLog.clear();
    keyUp(0);
    EXPECT_TRUE(callLog.empty());
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(keyBank.slots[0].triggerMode, 1000);

    killAllSounds();
    EXPECT_FALSE(voice.playing);
    EXPECT_EQ(keyBank.slots[0].triggerMode, 1000);
}

TEST_F(LostBuffer, RestoredBufferPlaysOnceThroughWithoutLooping) {
    FakeVoice& voice = giveVoice(0);
    voice.playResults = {DSERR_BUFFERLOST};
    keyDown(0);
    EXPECT_EQ(callLog, (Calls{"voice0 Stop", "voice0 SetCurrentPosition 0", "voice0 SetFrequency 22050",
                              "voice0 SetPan -5000", "voice0 Play 1", "voice0 Restore", "voice0 Play 0",
                              "voice0 SetVolume -889", "voice0 SetVolume -890", capOf(0)}));
    EXPECT_TRUE(voice.playing);
}

TEST_F(LostBuffer, IsRetriedOnlyOnce) {
    FakeVoice& voice = giveVoice(0);
    voice.playResults = {DSERR_BUFFERLOST, DSERR_BUFFERLOST};
    keyDown(0);
    EXPECT_EQ(callsStartingWith("voice0 Play"), (Calls{"voice0 Play 1", "voice0 Play 0"}));
    EXPECT_EQ(callsStartingWith("voice0 Restore").size(), 1u);
    EXPECT_EQ(callLog.back(), capOf(0));
}

TEST_F(LostBuffer, NoRetryWhenRestoreFails) {
    FakeVoice& voice = giveVoice(0);
    voice.playResults = {DSERR_BUFFERLOST};
    voice.restoreResult = DSERR_BUFFERLOST;
    keyDown(0);
    EXPECT_EQ(callLog,
              (Calls{"voice0 Stop", "voice0 SetCurrentPosition 0", "voice0 SetFrequency 22050", "voice0 SetPan -5000",
                     "voice0 Play 1", "voice0 Restore", "voice0 SetVolume -889", "voice0 SetVolume -890", capOf(0)}));
}

TEST_F(LostBuffer, OtherPlayFailuresAreIgnored) {
    FakeVoice& voice = giveVoice(26);
    voice.playResults = {InvalidCall};
    keyDown(26);
    EXPECT_EQ(callLog, joined(StartKey26, {capOf(26)}));
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);
}

TEST_F(SilentKeys, KeyWithoutAVoiceIgnoresEverythingInEveryMode) {
    for (int16_t mode : {991, 992, 993, 994, 995, 996, 1000}) {
        for (int gesture = 0; gesture < 3; ++gesture) {
            fakeInput.alt = gesture >= 1;
            fakeInput.ctrl = gesture == 2;
            keyBank.slots[5].triggerMode = mode;
            keyBank.slots[5].muted = 1;
            keyBank.finishing[5] = 1;
            keyDown(5);
            keyUp(5);
            keyDown(5);
            EXPECT_EQ(keyBank.slots[5].triggerMode, mode);
            EXPECT_EQ(keyBank.slots[5].muted, 1);
            EXPECT_EQ(keyBank.finishing[5], 1);
        }
    }
    EXPECT_TRUE(callLog.empty());
}

TEST_F(Muting, AltPressSilencesASoundingKeyWithoutStoppingIt) {
    FakeVoice& voice = giveVoice(13);
    keyDown(13);
    callLog.clear();
    fakeInput.alt = true;
    keyDown(13);
    EXPECT_EQ(callLog, (Calls{"voice13 SetVolume -10000", "panel drawMuteButton", capOf(13)}));
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(keyBank.slots[13].muted, 1);
    EXPECT_EQ(keyBank.slots[13].triggerMode, HoldFinish);

    // A sounding toggle is muted too, not stopped.
    FakeVoice& toggle = giveVoice(26);
    fakeInput.alt = false;
    keyDown(26);
    fakeInput.alt = true;
    callLog.clear();
    keyDown(26);
    EXPECT_EQ(callLog, (Calls{"voice26 SetVolume -10000", "panel drawMuteButton", capOf(26)}));
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);
    EXPECT_TRUE(toggle.playing);
}

TEST_F(Muting, AltReleaseRestoresTheVolume) {
    FakeVoice& voice = giveVoice(13);
    keyDown(13);
    fakeInput.alt = true;
    keyDown(13);
    callLog.clear();
    keyUp(13);
    EXPECT_EQ(callLog, (Calls{"voice13 SetVolume -1815", capOf(13), "panel drawMuteButton"}));
    EXPECT_EQ(keyBank.slots[13].muted, 0);
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(keyBank.finishing[13], 0);  // Alt release is no HoldFinish release
}

TEST_F(Muting, AltCtrlReleaseLeavesTheKeyMuted) {
    FakeVoice& voice = giveVoice(0);
    keyDown(0);
    fakeInput.alt = true;
    fakeInput.ctrl = true;
    keyDown(0);
    callLog.clear();
    keyUp(0);
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.slots[0].muted, 1);
    EXPECT_TRUE(voice.playing);
    EXPECT_EQ(voice.volume, -10000);
}

TEST_F(Muting, AltOnASilentKeyOnlyFlipsTheFlag) {
    FakeVoice& voice = giveVoice(26);
    fakeInput.alt = true;
    keyDown(26);
    EXPECT_EQ(callLog, (Calls{"panel drawMuteButton", capOf(26)}));
    EXPECT_EQ(keyBank.slots[26].muted, 1);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);  // Alt does not start a toggle
    EXPECT_FALSE(voice.playing);

    callLog.clear();
    keyUp(26);
    EXPECT_EQ(callLog, (Calls{capOf(26), "panel drawMuteButton"}));
    EXPECT_EQ(keyBank.slots[26].muted, 0);
}

TEST_F(Muting, MutedKeyPressedAgainSoundsAtItsVolume) {
    FakeVoice& voice = giveVoice(0);
    keyDown(0);
    fakeInput.alt = true;
    fakeInput.ctrl = true;
    keyDown(0);
    keyUp(0);
    fakeInput = FakeInput{};
    callLog.clear();
    keyDown(0);
    EXPECT_EQ(callLog, joined(StartKey0, {capOf(0)}));
    EXPECT_EQ(voice.volume, -890);
    EXPECT_EQ(keyBank.slots[0].muted, 1);  // cleared only when the key stops
    keyUp(0);
    EXPECT_EQ(keyBank.slots[0].muted, 0);
}

TEST_F(MuteButton, SilencesWhileHeldAndRestoresAtRelease) {
    FakeVoice& voice = giveVoice(13);
    keyBank.selectedKey = 13;
    keyDown(13);
    callLog.clear();
    int heldPolls = 0;
    fakeInput.leftButtonPolls = 3;
    fakeInput.onLeftButtonPoll = [&] {
        if (fakeInput.leftButtonPolls > 0) {
            ++heldPolls;
            EXPECT_EQ(keyBank.slots[13].muted, 1);
            EXPECT_EQ(voice.volume, -10000);
        }
    };
    muteButton(keyBank.selectedKey);
    EXPECT_EQ(heldPolls, 3);
    EXPECT_EQ(fakeInput.leftButtonPolls, 0);
    EXPECT_EQ(fakeInput.pollWaits, 3);  // the processor given up between polls, never spun
    EXPECT_EQ(callLog, (Calls{"voice13 SetVolume -10000", "panel drawMuteButton", capOf(13), "voice13 SetVolume -1815",
                              capOf(13), "panel drawMuteButton"}));
    EXPECT_EQ(keyBank.slots[13].muted, 0);
    EXPECT_TRUE(voice.playing);
}

TEST_F(MuteButton, CtrlAtReleaseKeepsTheKeyMuted) {
    FakeVoice& voice = giveVoice(13);
    keyDown(13);
    callLog.clear();
    fakeInput.leftButtonPolls = 2;
    fakeInput.onLeftButtonPoll = [] {
        if (fakeInput.leftButtonPolls == 0) fakeInput.ctrl = true;  // Ctrl goes down just before the release
    };
    muteButton(13);
    EXPECT_EQ(callLog, (Calls{"voice13 SetVolume -10000", "panel drawMuteButton", capOf(13)}));
    EXPECT_EQ(keyBank.slots[13].muted, 1);
    EXPECT_EQ(voice.volume, -10000);
}

TEST_F(MuteButton, KeyWithoutAVoiceOnlyFlipsTheFlag) {
    bool mutedWhileHeld = false;
    fakeInput.leftButtonPolls = 1;
    fakeInput.onLeftButtonPoll = [&] { mutedWhileHeld = keyBank.slots[0].muted == 1; };
    muteButton(0);
    EXPECT_TRUE(mutedWhileHeld);
    EXPECT_EQ(keyBank.slots[0].muted, 0);
    EXPECT_EQ(callLog, (Calls{"panel drawMuteButton", capOf(0), capOf(0), "panel drawMuteButton"}));

    callLog.clear();
    fakeInput.ctrl = true;
    muteButton(0);
    EXPECT_EQ(keyBank.slots[0].muted, 1);
    EXPECT_EQ(callLog, (Calls{"panel drawMuteButton", capOf(0)}));
}

TEST_F(KillAll, StopsEverySoundingKeyAndPutsTogglesBackToIdle) {
    for (int k = 0; k < KeyCount; ++k)
        if (k != 5) giveVoice(k);
    keyBank.slots[5].muted = 1;  // a key without a voice is passed over
    keyBank.slots[5].triggerMode = ToggleStopRunning;
    keyDown(10);
    keyDown(20);
    keyUp(20);    // HoldFinish: finishing
    keyDown(26);  // ToggleStop -> running
    keyBank.slots[30].triggerMode = ToggleFinish;
    keyDown(30);  // running
    fakeInput.alt = true;
    fakeInput.ctrl = true;
    keyDown(10);  // muted for good
    fakeInput = FakeInput{};
    ASSERT_EQ(keyBank.finishing[20], 1);
    ASSERT_EQ(keyBank.slots[10].muted, 1);
    callLog.clear();

    killAllSounds();

    for (int k = 0; k < KeyCount; ++k) {
        if (k == 5) continue;
        EXPECT_FALSE(voiceOf(k).playing) << "key " << k;
        EXPECT_EQ(keyBank.finishing[k], 0) << "key " << k;
        EXPECT_EQ(keyBank.slots[k].muted, 0) << "key " << k;
    }
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
    EXPECT_EQ(keyBank.slots[30].triggerMode, ToggleFinish);
    EXPECT_EQ(keyBank.slots[10].triggerMode, HoldStop);
    EXPECT_EQ(keyBank.slots[20].triggerMode, HoldFinish);
    EXPECT_EQ(keyBank.slots[5].muted, 1);
    EXPECT_EQ(keyBank.slots[5].triggerMode, ToggleStopRunning);

    // Keys in order, each unmuted (its volume back if it sounds), stopped, redrawn.
    Calls stops = callsStartingWith("voice");
    Calls expectedStops;
    for (int k = 0; k < KeyCount; ++k) {
        if (k == 10) expectedStops.push_back("voice10 SetVolume -890");
        if (k == 20) expectedStops.push_back("voice20 SetVolume -1815");
        if (k == 26 || k == 30) expectedStops.push_back(voiceCall(k, "SetVolume -890"));
        if (k != 5) expectedStops.push_back(voiceCall(k, "Stop"));
    }
    EXPECT_EQ(stops, expectedStops);
    auto stop10 = std::find(callLog.begin(), callLog.end(), "voice10 Stop");
    ASSERT_GE(stop10 - callLog.begin(), 3);
    ASSERT_LT(stop10 + 1, callLog.end());
    EXPECT_EQ(Calls(stop10 - 3, stop10 + 2),
              (Calls{"voice10 SetVolume -890", capOf(10), "panel drawMuteButton", "voice10 Stop", capOf(10)}));
    for (const std::string& call : callLog) EXPECT_NE(call, capOf(5));
}

TEST_F(KillAll, ThenATogglePressStartsAgain) {
    giveVoice(26);
    keyDown(26);
    killAllSounds();
    callLog.clear();
    keyDown(26);
    EXPECT_EQ(callLog, joined(StartKey26, {capOf(26)}));
}

TEST_F(IdlePoll, FinishedKeyIsClearedOnce) {
    FakeVoice& voice = giveVoice(13);
    keyDown(13);
    keyUp(13);
    keyBank.slots[13].muted = 1;
    voice.playing = false;  // the pass reached the end of the sound
    callLog.clear();
    pollFinishingKeys();
    EXPECT_EQ(callLog, (Calls{"panel drawMuteButton", capOf(13)}));
    EXPECT_EQ(keyBank.finishing[13], 0);
    EXPECT_EQ(keyBank.slots[13].muted, 0);
    EXPECT_EQ(voice.volume, -1815);  // the voice's level is left alone

    callLog.clear();
    pollFinishingKeys();
    EXPECT_TRUE(callLog.empty());
}

TEST_F(IdlePoll, StillPlayingKeyKeepsFinishing) {
    giveVoice(13);
    keyDown(13);
    keyUp(13);
    keyBank.slots[13].muted = 1;
    callLog.clear();
    pollFinishingKeys();
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.finishing[13], 1);
    EXPECT_EQ(keyBank.slots[13].muted, 1);
}

TEST_F(IdlePoll, UnreadableStatusCountsAsStopped) {
    FakeVoice& voice = giveVoice(13);
    keyDown(13);
    keyUp(13);
    voice.statusResult = InvalidCall;  // the fake still reports "playing" in the status word
    callLog.clear();
    pollFinishingKeys();
    EXPECT_EQ(callLog, (Calls{"panel drawMuteButton", capOf(13)}));
    EXPECT_EQ(keyBank.finishing[13], 0);
    EXPECT_FALSE(isKeyPlaying(13));
}

TEST_F(IdlePoll, AsksOnlyTheFinishingKeysForTheirStatus) {
    giveEveryKeyAVoice();
    keyDown(13);
    keyDown(20);
    keyUp(20);
    for (int k = 0; k < KeyCount; ++k) voiceOf(k).statusQueries = 0;
    pollFinishingKeys();
    for (int k = 0; k < KeyCount; ++k) EXPECT_EQ(voiceOf(k).statusQueries, k == 20 ? 1 : 0) << "key " << k;
}

// The main loop waits between polls; the poll itself never spins on the clock,
// whatever the clock does.
TEST_F(IdlePoll, ReturnsAtOnceWithoutReadingTheClock) {
    fakeInput.tickScript = {500, 500, 500, 500, 501};
    fakeInput.tickReadLimit = 1;  // a second read would be a wait
    pollFinishingKeys();
    EXPECT_EQ(fakeInput.tickReads, 0);
}

TEST_F(ChokeGroups, AKeyThatStartsStopsTheOtherSoundingKeysOfItsGroupAndPutsThemBackToIdle) {
    for (int k : {0, 13, 26, 27, 28, 1}) giveVoice(k);
    keyDown(13);
    keyUp(13);    // finishing
    keyDown(26);  // latched
    keyDown(27);  // latched, put in another group below
    keyDown(1);   // held, in no group
    for (int k : {0, 13, 26, 28}) keyBank.slots[k].chokeGroup = 3;
    keyBank.slots[27].chokeGroup = 4;
    callLog.clear();

    keyDown(28);
    Calls choked = {"voice13 Stop", "panel drawMuteButton", capOf(13),
                    "voice26 Stop", "panel drawMuteButton", capOf(26)};
    EXPECT_EQ(Calls(callLog.begin(), callLog.begin() + 6), choked) << "key 0 was silent: nothing to stop";
    EXPECT_EQ(Calls(callLog.begin() + 6, callLog.end()), joined(restartCalls(28, 44100, 0, -890), {capOf(28)}));
    EXPECT_EQ(keyBank.finishing[13], 0);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
    EXPECT_TRUE(voiceOf(27).playing);
    EXPECT_TRUE(voiceOf(1).playing);

    // Its own retrigger follows its mode: the latched key pressed again stops.
    callLog.clear();
    keyDown(28);
    EXPECT_EQ(callLog, (Calls{"voice28 Stop", "panel drawMuteButton", capOf(28)}));
}

TEST_F(FadingOut, AStopWithAFadeOutFadesTheKeyWhichStaysLitUntilTheFadeEnds) {
    FakeVoice& voice = giveVoice(0);
    keyBank.slots[0].fadeOutMilliseconds = 500;
    voice.fadeOut = 500;  // given when the voice was made
    keyDown(0);
    callLog.clear();
    keyUp(0);
    EXPECT_EQ(callLog, (Calls{"voice0 FadeOut", capOf(0)}));
    EXPECT_EQ(keyBank.finishing[0], 1);
    EXPECT_TRUE(anyKeyFinishing());

    callLog.clear();
    pollFinishingKeys();
    EXPECT_TRUE(callLog.empty()) << "still fading";
    voice.playing = false;
    pollFinishingKeys();
    EXPECT_EQ(callLog, (Calls{"panel drawMuteButton", capOf(0)}));
    EXPECT_EQ(keyBank.finishing[0], 0);

    // A key already silent stops as it always did.
    callLog.clear();
    keyUp(0);
    EXPECT_EQ(callLog, (Calls{"voice0 Stop", "panel drawMuteButton", capOf(0)}));
}

TEST_F(FadingOut, TheSecondPressOfAStopToggleFadesAndAFinishModeStillPlaysToItsEnd) {
    FakeVoice& toggle = giveVoice(26);
    toggle.fadeOut = 300;
    keyBank.slots[26].fadeOutMilliseconds = 300;
    keyDown(26);
    keyUp(26);
    callLog.clear();
    keyDown(26);
    EXPECT_EQ(callLog, (Calls{"voice26 FadeOut", capOf(26)}));
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);

    giveVoice(13);
    keyBank.slots[13].fadeOutMilliseconds = 300;
    keyDown(13);
    callLog.clear();
    keyUp(13);
    EXPECT_EQ(callLog, (Calls{"voice13 Play 0", capOf(13)}));
}

}  // namespace
