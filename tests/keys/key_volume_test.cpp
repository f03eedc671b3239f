// A key's volume as its voice is told it, scaled by the master volume.
#include "keys/key_volume.h"

#include <gtest/gtest.h>

#include "support/key_bank_fixture.h"

namespace {

class VoiceVolume : public KeyBankFixture {};

TEST_F(VoiceVolume, WritesTheLevelIntoAStoppedVoiceToo) {
    FakeVoice& voice = giveVoice(13);
    setVoiceVolume(13, 25);
    EXPECT_EQ(callLog, (Calls{"voice13 SetVolume -5205"}));
    EXPECT_FALSE(voice.playing);

    callLog.clear();
    applyKeyVolume(13);  // the key's own volume 80
    EXPECT_EQ(callLog, (Calls{"voice13 SetVolume -1815"}));

    callLog.clear();
    masterVolume = 0;
    applyKeyVolume(13);
    EXPECT_EQ(callLog, (Calls{"voice13 SetVolume -10000"}));
}

TEST_F(VoiceVolume, KeyWithoutAVoiceIsLeftAlone) {
    setVoiceVolume(3, 100);
    applyKeyVolume(3);
    applyMasterVolume();
    EXPECT_TRUE(callLog.empty());
}

TEST_F(VoiceVolume, MasterVolumeReachesEveryUnmutedKeyInOrder) {
    for (int k : {40, 0, 13, 26, 46}) giveVoice(k);
    keyBank.slots[26].muted = 1;  // stays silent until unmuted
    keyBank.slots[46].volume = 400;
    masterVolume = 5;
    applyMasterVolume();
    EXPECT_EQ(callLog, (Calls{"voice0 SetVolume -3558", "voice13 SetVolume -4213", "voice40 SetVolume -3558",
                              "voice46 SetVolume -2965"}));
}

TEST_F(VoiceVolume, PressAfterAMasterChangeUsesTheNewMaster) {
    FakeVoice& voice = giveVoice(0);
    masterVolume = 1;
    keyDown(0);
    EXPECT_EQ(voice.volume, -7120);
    masterVolume = 9;
    applyMasterVolume();
    EXPECT_EQ(voice.volume, -1358);
}

}  // namespace
