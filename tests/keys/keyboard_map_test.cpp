// Which key of the keyboard plays which performance key, and letting go of
// the held keys when the window loses the keyboard.
#include "keys/keyboard_map.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "support/key_bank_fixture.h"

namespace {

// The physical keys along the rows, left to right: number row, Q row, A row, Z row.
constexpr unsigned CodeOfKey[KeyCount] = {
    0xC0, '1', '2', '3',  '4',  '5', '6', '7',  '8',  '9',  '0', 0xBD, 0xBB, 'Q',  'W',  'E',
    'R',  'T', 'Y', 'U',  'I',  'O', 'P', 0xDB, 0xDD, 0xDC, 'A', 'S',  'D',  'F',  'G',  'H',
    'J',  'K', 'L', 0xBA, 0xDE, 'Z', 'X', 'C',  'V',  'B',  'N', 'M',  0xBC, 0xBE, 0xBF,
};

// The flags of a key-down message: a first press, and the keyboard's
// auto-repeat of a key already down (bit 30, the key's previous state), with
// Alt down (bit 29) for the system key-downs it becomes with Alt.
constexpr uint32_t Pressed = 0x00100001;
constexpr uint32_t Repeated = 0x40100001;
constexpr uint32_t RepeatedWithAlt = 0x60100001;

class KeyboardMap : public KeyBankFixture {};
class LosingTheKeyboard : public KeyBankFixture {};

TEST_F(KeyboardMap, EveryPerformanceKeyReachesItsKeyInRowOrder) {
    for (int k = 0; k < KeyCount; ++k) EXPECT_EQ(keyIndexForVirtualKey(CodeOfKey[k]), k) << "code " << CodeOfKey[k];
    int mapped = 0;
    for (unsigned code = 0; code <= 0xFFFF; ++code)
        if (keyIndexForVirtualKey(code) >= 0) ++mapped;
    EXPECT_EQ(mapped, KeyCount);
    // A code that only matches in its low byte is no key.
    EXPECT_EQ(keyIndexForVirtualKey(0x100 + 'Q'), -1);
    EXPECT_EQ(keyIndexForVirtualKey(0xFFFFFFFFu), -1);
}

TEST_F(KeyboardMap, PressAndReleaseOfAKeyPlayAndStopTheSameKey) {
    giveEveryKeyAVoice();
    for (int k = 0; k < KeyCount; ++k) keyBank.slots[k].triggerMode = HoldStop;
    for (int k = 0; k < KeyCount; ++k) {
        callLog.clear();
        onKeyDownMessage(CodeOfKey[k], Pressed);
        ASSERT_FALSE(callLog.empty()) << "key " << k;
        EXPECT_EQ(callLog.front(), voiceCall(k, "Stop"));
        EXPECT_EQ(callLog.back(), capOf(k));
        EXPECT_TRUE(voiceOf(k).playing) << "key " << k;

        callLog.clear();
        onKeyUpMessage(CodeOfKey[k]);
        EXPECT_EQ(callLog, (Calls{voiceCall(k, "Stop"), "panel drawMuteButton", capOf(k)})) << "key " << k;
        EXPECT_FALSE(voiceOf(k).playing) << "key " << k;
    }
}

TEST_F(KeyboardMap, AKeyHeldDownIsOnePressHoweverLongTheKeyboardRepeatsIt) {
    FakeVoice& hold = giveVoice(0);     // HoldStop
    FakeVoice& toggle = giveVoice(26);  // ToggleStop
    onKeyDownMessage(CodeOfKey[0], Pressed);
    onKeyDownMessage(CodeOfKey[26], Pressed);
    callLog.clear();
    for (int repeat = 0; repeat < 3; ++repeat) {
        onKeyDownMessage(CodeOfKey[0], Repeated);
        onKeyDownMessage(CodeOfKey[26], Repeated);
    }
    fakeInput.alt = true;  // Alt pressed while the keys are held
    onKeyDownMessage(CodeOfKey[0], RepeatedWithAlt);
    onKeyDownMessage(CodeOfKey[26], RepeatedWithAlt);
    EXPECT_TRUE(callLog.empty()) << "neither a restart, a toggle nor a mute";
    EXPECT_TRUE(hold.playing);
    EXPECT_TRUE(toggle.playing);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);

    fakeInput.alt = false;
    onKeyUpMessage(CodeOfKey[0]);
    onKeyUpMessage(CodeOfKey[26]);
    EXPECT_FALSE(hold.playing);
    EXPECT_TRUE(toggle.playing);
    onKeyDownMessage(CodeOfKey[26], Pressed);  // let go and pressed again: the next press
    EXPECT_FALSE(toggle.playing);

    // A key already down as the window gets the keyboard was not pressed here.
    callLog.clear();
    onKeyDownMessage(CodeOfKey[13], Repeated);
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.held[13], 0);
}

TEST_F(KeyboardMap, KeysOutsideTheMainBlockDoNothing) {
    giveEveryKeyAVoice();
    std::vector<unsigned> others = {' ', 0x25, 0x26, 0x27, 0x28, 0x0D, 0x08, 0x09, 0x10, 0x11, 0x12, 0x14, 0x1B, 0};
    for (unsigned f = 0x78; f <= 0x7B; ++f) others.push_back(f);       // F9..F12; F1..F8 show banks
    for (unsigned pad = 96; pad <= 105; ++pad) others.push_back(pad);  // keypad digits are not the number row
    for (unsigned code : others) {
        EXPECT_EQ(keyIndexForVirtualKey(code), -1) << "code " << code;
        onKeyDownMessage(code, Pressed);
        onKeyUpMessage(code);
    }
    EXPECT_TRUE(callLog.empty());
    for (int k = 0; k < KeyCount; ++k) EXPECT_FALSE(voiceOf(k).playing);
}

}  // namespace

TEST_F(LosingTheKeyboard, EveryHeldKeyIsReleasedAsItsKeyUpWouldAndLatchedTogglesStayLatched) {
    FakeVoice& stopping = giveVoice(0);    // HoldStop
    FakeVoice& finishing = giveVoice(13);  // HoldFinish
    giveVoice(26);                         // ToggleStop
    FakeVoice& released = giveVoice(1);    // HoldStop, let go before the keyboard goes
    for (int k : {0, 13, 26, 1}) onKeyDownMessage(CodeOfKey[k], Pressed);
    onKeyUpMessage(CodeOfKey[1]);
    callLog.clear();

    releaseHeldKeys();
    EXPECT_FALSE(stopping.playing);
    EXPECT_TRUE(finishing.playing);  // plays its pass to the end
    EXPECT_EQ(keyBank.finishing[13], 1);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);
    EXPECT_TRUE(voiceOf(26).playing);
    EXPECT_EQ(std::count(callLog.begin(), callLog.end(), voiceCall(1, "Stop")), 0) << "a key let go is not released";
    EXPECT_FALSE(released.playing);

    // Released once: losing the keyboard again does nothing more.
    callLog.clear();
    releaseHeldKeys();
    EXPECT_TRUE(callLog.empty());
}

TEST_F(LosingTheKeyboard, AltTabReleasesTheKeysHeldThroughItAndEndsTheMuteOfAltAndAKey) {
    FakeVoice& stopping = giveVoice(0);    // HoldStop
    FakeVoice& finishing = giveVoice(13);  // HoldFinish
    FakeVoice& toggle = giveVoice(26);     // ToggleStop
    onKeyDownMessage(CodeOfKey[26], Pressed);
    onKeyUpMessage(CodeOfKey[26]);
    for (int k : {0, 13}) onKeyDownMessage(CodeOfKey[k], Pressed);
    fakeInput.alt = true;
    onKeyDownMessage(CodeOfKey[26], Pressed);  // Alt and the latched toggle's key: muted while held
    ASSERT_EQ(toggle.volume, -10000);

    releaseHeldKeys();  // Tab, with Alt still down: another window takes the keyboard
    EXPECT_FALSE(stopping.playing);
    EXPECT_TRUE(finishing.playing);
    EXPECT_EQ(keyBank.finishing[13], 1);
    EXPECT_TRUE(toggle.playing);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStopRunning);
    EXPECT_EQ(keyBank.slots[26].muted, 0);
    EXPECT_EQ(toggle.volume, -890);
}

TEST_F(LosingTheKeyboard, KeysThatAreNoPerformanceKeysAndKeysWithoutAVoiceAreLeftAlone) {
    onKeyDownMessage(0x70, Pressed);          // F1
    onKeyDownMessage(CodeOfKey[5], Pressed);  // no voice: its press did nothing
    callLog.clear();
    releaseHeldKeys();
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.held[5], 0);
}
