// Banks of keys: switching with keys sounding in every mode, the release that
// follows its press into the bank it started in, and what stays per bank.
#include "keys/key_banks.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "keys/keyboard_map.h"
#include "midi/note_playing.h"
#include "support/key_bank_fixture.h"

namespace {

constexpr uint32_t Pressed = 0x00100001;
constexpr uint32_t Repeated = 0x40100001;
constexpr unsigned F1 = 0x70;
constexpr unsigned GraveKey = 0xC0, QKey = 'Q', AKey = 'A', SKey = 'S';

class Banks : public KeyBankFixture {
protected:
    // Every key of every bank a voice, named "b<bank>.<key>".
    void giveEveryBankVoices() {
        for (int b = 0; b < BankCount; ++b)
            for (int k = 0; k < KeyCount; ++k) {
                voices.push_back(std::make_unique<FakeVoice>("b" + std::to_string(b) + "." + std::to_string(k)));
                bankOf(b).slots[k].voice = voices.back().get();
            }
    }
    static FakeVoice& voiceIn(int bank, int key) { return *static_cast<FakeVoice*>(bankOf(bank).slots[key].voice); }
    static void press(unsigned code) { onKeyDownMessage(code, Pressed); }
};

TEST_F(Banks, AFunctionKeyShowsItsBankAtOnceAndKeysSoundingGoOn) {
    giveEveryBankVoices();
    keyBank.slots[13].note = 61;  // an edit of bank 1
    keyBank.selectedKey = 13;
    press(QKey);
    callLog.clear();

    onKeyDownMessage(F1 + 2, Repeated);  // an auto-repeat changes nothing
    EXPECT_EQ(shownBank, 0);
    press(F1 + 2);
    EXPECT_EQ(shownBank, 2);
    EXPECT_EQ(callLog, (Calls{"panel showShownBank"})) << "silent by itself";
    EXPECT_TRUE(voiceIn(0, 13).playing);
    EXPECT_EQ(keyBank.slots[13].note, 60) << "bank 3 holds the start-up layout";
    EXPECT_EQ(keyBank.selectedKey, 13);

    press(F1);
    EXPECT_EQ(keyBank.slots[13].note, 61);
    press(F1 + 8);  // F9: no bank
    EXPECT_EQ(shownBank, 0);
}

TEST_F(Banks, AReleaseReachesTheKeyItsPressStartedInWhicheverBankIsShown) {
    giveEveryBankVoices();
    onNoteOn(0, 36, 127);  // key 0 of bank 1, held from a pad
    press(F1 + 1);
    press(GraveKey);  // the same key in the new bank: a press of its own
    EXPECT_TRUE(voiceIn(1, 0).playing);

    onKeyUpMessage(GraveKey);  // this key-up belongs to bank 2's press
    EXPECT_FALSE(voiceIn(1, 0).playing);
    EXPECT_TRUE(voiceIn(0, 0).playing) << "bank 1's key is still held by its pad";
    onNoteOff(0, 36);
    EXPECT_FALSE(voiceIn(0, 0).playing);
}

TEST_F(Banks, HoldKeysHeldAcrossASwitchStopAtTheirReleaseAndLatchedTogglesWaitForTheirBank) {
    giveEveryBankVoices();
    press(GraveKey);
    press(QKey);
    press(AKey);
    onKeyUpMessage(AKey);
    press(F1 + 1);
    callLog.clear();

    onKeyUpMessage(GraveKey);
    onKeyUpMessage(QKey);
    EXPECT_EQ(callLog, (Calls{"b0.0 Stop", "b0.13 Play 0"})) << "nothing drawn: bank 1 is not shown";
    EXPECT_EQ(bankOf(0).finishing[13], 1);
    EXPECT_TRUE(anyKeyFinishing());
    voiceIn(0, 13).playing = false;
    pollFinishingKeys();
    EXPECT_EQ(bankOf(0).finishing[13], 0);

    // The latched toggle: a press of A in bank 2 starts bank 2's A.
    press(AKey);
    EXPECT_TRUE(voiceIn(1, 26).playing);
    EXPECT_TRUE(voiceIn(0, 26).playing);
    press(F1);
    press(AKey);  // bank 1 shown again: its latched A stops
    EXPECT_FALSE(voiceIn(0, 26).playing);
    EXPECT_TRUE(voiceIn(1, 26).playing);
    EXPECT_TRUE(isBankSounding(1));
}

TEST_F(Banks, ANoteHeldAcrossASwitchIsReleasedInItsBankAndPlaysTheNewBankWhenStruckAgain) {
    giveEveryBankVoices();
    onNoteOn(0, 36, 127);  // key 0 of bank 1
    press(F1 + 3);
    onNoteOff(0, 36);
    EXPECT_FALSE(voiceIn(0, 0).playing);

    onNoteOn(0, 36, 127);  // now bank 4's key 0
    EXPECT_TRUE(voiceIn(3, 0).playing);
    press(F1);
    onNoteOn(0, 36, 127);  // struck again without its note-off: it lets go in bank 4
    EXPECT_FALSE(voiceIn(3, 0).playing);
    EXPECT_TRUE(voiceIn(0, 0).playing);
    onNoteOff(0, 36);
    EXPECT_FALSE(voiceIn(0, 0).playing);
}

TEST_F(Banks, AChokeActsWithinTheBankOfTheKeyThatStartsAndKillAllSilencesEveryBank) {
    giveEveryBankVoices();
    for (int b = 0; b < 2; ++b) bankOf(b).slots[26].chokeGroup = bankOf(b).slots[27].chokeGroup = 1;
    press(AKey);
    press(F1 + 1);
    press(SKey);
    EXPECT_TRUE(voiceIn(0, 26).playing) << "choked from another bank";
    EXPECT_TRUE(voiceIn(1, 27).playing);

    press(QKey);
    onKeyUpMessage(QKey);
    killAllSounds();
    for (int b = 0; b < 2; ++b)
        for (int k : {13, 26, 27}) EXPECT_FALSE(voiceIn(b, k).playing) << b << " " << k;
    EXPECT_EQ(bankOf(0).slots[26].triggerMode, ToggleStop);
    EXPECT_FALSE(anyKeyFinishing());
    EXPECT_FALSE(isBankSounding(0));
}

}  // namespace
