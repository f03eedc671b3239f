// The keys' voices: each a duplicate of its sound's bank buffer, given when
// the bank loads, renewed when the selected key gets another sound, and all
// given up at once.
#include "keys/key_voices.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "flows/sound_loading.h"
#include "keys/key_banks.h"
#include "library/sound_list_window.h"
#include "support/sound_files_fixture.h"

using Calls = std::vector<std::string>;

namespace {

class GivingKeysVoices : public SoundFilesFixture {};
class ReleasingAllSounds : public SoundFilesFixture {};

class AssigningSounds : public SixSoundsFixture {};

TEST_F(GivingKeysVoices, FiveSoundsLeaveKeysPastTheListWithoutAVoice) {
    addWaves(5);
    keyBank.slots[0].soundIndex = -1;
    keyBank.slots[1].soundIndex = 4;
    loadSoundBank();
    EXPECT_EQ(voiceOf(0), nullptr);
    EXPECT_TRUE(playsSound(1, 4));
    for (int k = 2; k <= 25; ++k) EXPECT_NE(voiceOf(k), nullptr) << k;
    for (int k = 26; k <= 28; ++k) EXPECT_TRUE(playsSound(k, k - 24)) << k;
    for (int k = 29; k < KeyCount; ++k) EXPECT_EQ(voiceOf(k), nullptr) << k;
    // Every bank's keys have voices: the seven banks not shown have the start-up layout, key 0 too.
    EXPECT_EQ(callsStartingWith("device DuplicateSoundBuffer").size(), 25u + 3u + 7 * (26u + 3u));
}

TEST_F(GivingKeysVoices, AKeyWithPointsPlaysItsPartAndOneWithFadesHasThemFromItsFirstStart) {
    addWaves(5);
    keyBank.slots[26].startMilliseconds = 120;
    keyBank.slots[26].endMilliseconds = 900;
    keyBank.slots[26].fadeOutMilliseconds = 250;
    keyBank.slots[27].startMilliseconds = 900;  // past its end: a part of no frame
    keyBank.slots[27].endMilliseconds = 100;
    keyBank.slots[28].fadeInMilliseconds = 40;
    loadSoundBank();
    Calls parts = callsStartingWith("device DuplicateSoundBufferPart");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].substr(parts[0].rfind(' ', parts[0].rfind(' ') - 1)), " 120 900");
    EXPECT_EQ(parts[1].substr(parts[1].rfind(' ', parts[1].rfind(' ') - 1)), " 900 100");
    EXPECT_EQ(voiceOf(27), nullptr) << "a part with no frame leaves the key silent";
    ASSERT_NE(voiceOf(26), nullptr);
    EXPECT_EQ(voiceOf(26)->fadeOut, 250u);
    EXPECT_EQ(voiceOf(28)->fadeIn, 40u);
    EXPECT_EQ(callsStartingWith("device DuplicateSoundBuffer ").size(), 26u + 1u + 7 * (26u + 3u))
        << "the others as before, in every bank";
    size_t fades = 0;
    for (const std::string& call : callLog) fades += call.find(" SetFades ") != std::string::npos;
    EXPECT_EQ(fades, 2u);
}

TEST_F(ReleasingAllSounds, ReleasingAllSoundsReleasesBuffersAndVoicesWithoutStoppingThem) {
    addWaves(23);
    loadSoundBank();
    voiceOf(5)->playing = true;
    callLog.clear();
    releaseAllSounds();
    for (const auto& buffer : fakeAudio.device.buffers) EXPECT_TRUE(buffer->released) << buffer->name;
    for (const Voice* entry : soundBank.soundBuffers) EXPECT_EQ(entry, nullptr);
    for (const KeySlot& slot : keyBank.slots) EXPECT_EQ(slot.voice, nullptr);
    EXPECT_EQ(callLog.size(), 23u + BankCount * 47u);
    EXPECT_TRUE(callsStartingWith("buffer").size() == callLog.size());
    for (const std::string& call : callLog) EXPECT_EQ(call.substr(call.size() - 7), "Release");
    EXPECT_EQ(soundBank.soundCount, 23);
}

TEST_F(AssigningSounds, ASoundingRunningToggleKeyFallsSilentAndGetsTheNewSoundIdle) {
    keyBank.selectedKey = 26;
    keyBank.slots[26].triggerMode = ToggleStopRunning;
    FakeVoice* old = voiceOf(26);
    old->playing = true;
    assignSoundToSelectedKey(4);
    EXPECT_EQ(keyBank.slots[26].soundIndex, 4);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
    EXPECT_EQ(callLog, (Calls{"panel redrawKeyCap 26", old->name + " Release",
                              "device DuplicateSoundBuffer " + bankBuffer(4)->name}));
    EXPECT_TRUE(old->released);
    EXPECT_TRUE(playsSound(26, 4));

    keyBank.slots[26].triggerMode = ToggleFinishRunning;
    assignSoundToSelectedKey(5);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleFinish);
}

TEST_F(AssigningSounds, AnIndexPastTheBankChangesOnlyTheSoundIndex) {
    keyBank.selectedKey = 3;
    keyBank.slots[3].triggerMode = ToggleStopRunning;
    Voice* old = keyBank.slots[3].voice;
    assignSoundToSelectedKey(6);
    EXPECT_EQ(keyBank.slots[3].soundIndex, 6);
    EXPECT_EQ(keyBank.slots[3].voice, old);
    EXPECT_EQ(keyBank.slots[3].triggerMode, ToggleStopRunning);
    EXPECT_TRUE(callLog.empty());
}

TEST_F(AssigningSounds, NoSelectionOrAnIndexAKeyCannotHoldDoesNothing) {
    keyBank.selectedKey = 3;
    assignSoundToSelectedKey(NoSelection);
    assignSoundToSelectedKey(40000);
    EXPECT_EQ(keyBank.slots[3].soundIndex, 0);
    EXPECT_TRUE(callLog.empty());
}

TEST_F(AssigningSounds, ASoundThatDidNotLoadLeavesTheKeyWithoutAVoice) {
    soundBank.soundBuffers[2]->Release();
    soundBank.soundBuffers[2] = nullptr;
    keyBank.selectedKey = 0;
    assignSoundToSelectedKey(2);
    EXPECT_EQ(keyBank.slots[0].soundIndex, 2);
    EXPECT_EQ(voiceOf(0), nullptr);
    EXPECT_TRUE(callsStartingWith("device").empty());
}

}  // namespace
