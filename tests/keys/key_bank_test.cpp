// The key bank: what start-up gives every key, and copying a key's settings.
#include "keys/key_bank.h"

#include <gtest/gtest.h>

#include "support/key_bank_fixture.h"

namespace {

class KeysAtStartUp : public KeyBankFixture {};
class CopyingKeySettings : public KeyBankFixture {};

TEST_F(KeysAtStartUp, NumberRowPlaysSoundZeroChromaticallyLeftOfCentre) {
    for (int k = 0; k <= 12; ++k) {
        const KeySlot& slot = keyBank.slots[k];
        EXPECT_EQ(slot.soundIndex, 0);
        EXPECT_EQ(slot.note, 48 + k);
        EXPECT_EQ(slot.triggerMode, HoldStop);
        EXPECT_EQ(slot.volume, 100);
        EXPECT_EQ(slot.pan, 50);
    }
}

TEST_F(KeysAtStartUp, QRowPlaysSoundOneFromMiddleNoteUpAtVolume80) {
    for (int k = 13; k <= 25; ++k) {
        const KeySlot& slot = keyBank.slots[k];
        EXPECT_EQ(slot.soundIndex, 1);
        EXPECT_EQ(slot.note, 47 + k);
        EXPECT_EQ(slot.triggerMode, HoldFinish);
        EXPECT_EQ(slot.volume, 80);
        EXPECT_EQ(slot.pan, 100);
    }
    EXPECT_EQ(keyBank.slots[13].note, 60);
    EXPECT_EQ(keyBank.slots[25].note, 72);
}

TEST_F(KeysAtStartUp, LowerRowsEachToggleTheirOwnSound) {
    for (int k = 26; k <= 46; ++k) {
        const KeySlot& slot = keyBank.slots[k];
        EXPECT_EQ(slot.soundIndex, k - 24);
        EXPECT_EQ(slot.note, 60);
        EXPECT_EQ(slot.triggerMode, ToggleStop);
        EXPECT_EQ(slot.volume, 100);
        EXPECT_EQ(slot.pan, 100);
    }
    EXPECT_EQ(keyBank.slots[26].soundIndex, 2);
    EXPECT_EQ(keyBank.slots[46].soundIndex, 22);
}

TEST_F(KeysAtStartUp, EveryKeyStartsUnmutedInTuneIdleAndSilent) {
    // Leftovers that start-up must clear.
    for (int k = 0; k < KeyCount; ++k) {
        keyBank.finishing[k] = 1;
        keyBank.slots[k].muted = 1;
        keyBank.slots[k].extraA = 7;
        keyBank.slots[k].extraB = 7;
        keyBank.slots[k].extraC = 7;
        keyBank.slots[k].extraD = 7;
        keyBank.slots[k].reservedByte1 = 7;
        keyBank.slots[k].reservedByte2 = 7;
    }
    startInstrument();
    for (int k = 0; k < KeyCount; ++k) {
        const KeySlot& slot = keyBank.slots[k];
        EXPECT_EQ(keyBank.finishing[k], 0) << "key " << k;
        EXPECT_EQ(slot.muted, 0) << "key " << k;
        EXPECT_EQ(slot.fineTune, 0) << "key " << k;
        EXPECT_EQ(slot.extraA, -1);
        EXPECT_EQ(slot.extraB, 10);
        EXPECT_EQ(slot.extraC, 0);
        EXPECT_EQ(slot.extraD, 1);
        EXPECT_EQ(slot.reservedByte1, 0);
        EXPECT_EQ(slot.reservedByte2, 0);
        EXPECT_EQ(slot.voice, nullptr);
    }
}

TEST_F(CopyingKeySettings, KeySettingsAreCopiedFieldByFieldAndTheVoiceStays) {
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
