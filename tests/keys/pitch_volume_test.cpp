// Note, fine tune, volume, pan and master volume as the voice hears them.
#include <gtest/gtest.h>
#include <utility>

#include "keys/key_volume.h"
#include "support/key_bank_fixture.h"

namespace {

class Pitch : public KeyBankFixture {};
class Volume : public KeyBankFixture {};
class Pan : public KeyBankFixture {};
class VoiceVolume : public KeyBankFixture {};

TEST_F(Pitch, NotesPlayAtTheTableRates) {
    const std::pair<int, uint32_t> rates[] = {{1, 1460},   {12, 2756},  {36, 11025},  {48, 22050},
                                              {59, 41624}, {60, 44100}, {61, 46722},  {62, 49500},
                                              {72, 88199}, {74, 99001}, {75, 104888}, {84, 176399}};
    for (auto [note, rate] : rates) {
        EXPECT_EQ(keyFrequency(note, 0), rate) << "note " << note;
    }
}

TEST_F(Pitch, TableErrorsAccumulateFromTheMiddleNote) {
    // Without fine tune the table value itself comes back, fraction and all.
    EXPECT_EQ(keyRate(60, 0), 44100.0);
    EXPECT_LT(keyRate(72, 0), 88200.0);
    EXPECT_GT(keyRate(72, 0), 88199.9999);
    EXPECT_GT(keyRate(48, 0), 22050.0);
    EXPECT_LT(keyRate(48, 0), 22050.0001);
    // Each note one semitone ratio above the last.
    for (int note = 1; note < NoteCount; ++note) {
        EXPECT_GT(keyRate(note, 0), keyRate(note - 1, 0));
    }
}

TEST_F(Pitch, FineTuneAtTheMiddleNote) {
    const std::pair<int, uint32_t> rates[] = {{1, 44126},  {50, 45411},  {100, 46722},
                                              {-1, 44075}, {-50, 42862}, {-100, 41624}};
    for (auto [fine, rate] : rates) {
        EXPECT_EQ(keyFrequency(60, fine), rate) << "fine tune " << fine;
        EXPECT_EQ(keyRate(60, fine), static_cast<double>(rate)) << "fine tune " << fine;
    }
    EXPECT_EQ(keyFrequency(60, 100), keyFrequency(61, 0));
    EXPECT_EQ(keyFrequency(60, -100), keyFrequency(59, 0));
}

TEST_F(Pitch, FineTuneRaisesAndLowersTheRateStepByStep) {
    for (int note : {1, 48, 60, 127}) {
        for (int fine = -100; fine < 100; ++fine)
            EXPECT_LE(keyFrequency(note, fine), keyFrequency(note, fine + 1)) << "note " << note << " fine " << fine;
        if (note == 1) continue;  // below one sample per second a step can vanish in the truncation
        EXPECT_LT(keyFrequency(note, -1), keyFrequency(note, 0)) << "note " << note;
        EXPECT_GT(keyFrequency(note, 1), keyFrequency(note, 0)) << "note " << note;
    }
}

TEST_F(Volume, CurveAtFullMasterVolume) {
    const std::pair<int, int> levels[] = {{0, -10000}, {1, -9000},  {10, -6838}, {25, -5205}, {50, -3367}, {80, -1815},
                                          {100, -890}, {101, -890}, {150, -673}, {200, -514}, {300, -254}, {400, -51}};
    for (auto [volume, level] : levels) {
        EXPECT_EQ(volumeLevel(volume), level) << "volume " << volume;
    }
}

TEST_F(Volume, MasterVolumeScalesBeforeTheSquareRoot) {
    const std::pair<int16_t, int> levels[] = {{10, -890}, {9, -1358}, {7, -2379}, {5, -3558}, {1, -7120}, {0, -10000}};
    for (auto [master, level] : levels) {
        masterVolume = master;
        EXPECT_EQ(volumeLevel(100), level) << "master " << master;
    }
}

TEST_F(Volume, SilenceAtVolumeZeroOrMasterZeroAndNeverAboveMinus51) {
    for (int16_t master = 0; master <= 10; ++master) {
        masterVolume = master;
        EXPECT_EQ(volumeLevel(0), -10000) << "master " << master;
        for (int volume = 0; volume <= 400; ++volume) {
            int level = volumeLevel(volume);
            ASSERT_GE(level, -10000) << "volume " << volume << " master " << master;
            ASSERT_LE(level, -51) << "volume " << volume << " master " << master;
            if (master == 0) {
                ASSERT_EQ(level, -10000) << "volume " << volume;
            }
            if (volume > 0) {
                ASSERT_GE(level, volumeLevel(volume - 1)) << "volume " << volume << " master " << master;
            }
        }
    }
}

TEST_F(Pan, PositionsOnTheDeviceScale) {
    EXPECT_EQ(panPosition(100), 0);
    EXPECT_EQ(panPosition(1), -9900);
    EXPECT_EQ(panPosition(200), 10000);
    EXPECT_EQ(panPosition(50), -5000);
    EXPECT_EQ(panPosition(0), -10000);
}

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
