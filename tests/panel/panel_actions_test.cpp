// What clicking the panel's controls does to the keys.
#include "panel/panel_actions.h"

#include <gtest/gtest.h>

#include "setup/document.h"
#include "support/key_bank_fixture.h"

namespace {

class PanelClicks : public KeyBankFixture {
protected:
    void SetUp() override {
        KeyBankFixture::SetUp();
        document.modified = false;
    }
};

const Calls SelectFrom0 = {"panel invalidateKeyCap 0", "panel invalidateTriggerModeButtons",
                           "panel refreshSelectedKey"};

}  // namespace

TEST_F(PanelClicks, KeyCapSelectsItsKeyWithoutMarkingTheSetupModified) {
    performPanelAction(6024 + 13);
    EXPECT_EQ(keyBank.selectedKey, 13);
    EXPECT_EQ(callLog, SelectFrom0);
    EXPECT_FALSE(document.modified);

    callLog.clear();
    performPanelAction(6024 + 46);
    EXPECT_EQ(keyBank.selectedKey, 46);
    EXPECT_EQ(callLog,
              (Calls{"panel invalidateKeyCap 13", "panel invalidateTriggerModeButtons", "panel refreshSelectedKey"}));
}

TEST_F(PanelClicks, KeyCapOfTheSelectedKeyRefreshesAgain) {
    performPanelAction(6024);
    EXPECT_EQ(keyBank.selectedKey, 0);
    EXPECT_EQ(callLog, SelectFrom0);
}

TEST_F(PanelClicks, KillAllStopsEveryKey) {
    FakeVoice& held = giveVoice(3);
    FakeVoice& latched = giveVoice(30);
    held.playing = true;
    latched.playing = true;
    keyBank.slots[30].triggerMode = ToggleStopRunning;
    performPanelAction(6011);
    EXPECT_FALSE(held.playing);
    EXPECT_FALSE(latched.playing);
    EXPECT_EQ(keyBank.slots[30].triggerMode, ToggleStop);
}

TEST_F(PanelClicks, MuteHoldsTheSelectedKeyMutedWhileTheButtonIsDown) {
    FakeVoice& voice = giveVoice(5);
    voice.playing = true;
    performPanelAction(6024 + 5);
    fakeInput.leftButtonPolls = 3;
    bool mutedWhileHeld = false;
    fakeInput.onLeftButtonPoll = [&] { mutedWhileHeld = keyBank.slots[5].muted == 1; };
    performPanelAction(6012);
    EXPECT_TRUE(mutedWhileHeld);
    EXPECT_EQ(keyBank.slots[5].muted, 0);
    EXPECT_EQ(fakeInput.leftButtonPolls, 0);
}

TEST_F(PanelClicks, MuteStaysWithCtrlAtTheRelease) {
    giveVoice(0).playing = true;
    fakeInput.ctrl = true;
    performPanelAction(6012);
    EXPECT_EQ(keyBank.slots[0].muted, 1);
}

TEST_F(PanelClicks, ValueButtonsEditTheSelectedKey) {
    struct Buttons {
        int up, down, reset;
        int16_t KeySettings::*field;
        int start, unity;
    };
    // Key 13 starts at note 60, fine tune 0 and volume 80.
    const Buttons values[] = {{6001, 6002, 6013, &KeySettings::note, 60, 60},
                              {6003, 6004, 6014, &KeySettings::fineTune, 0, 0},
                              {6005, 6006, 6015, &KeySettings::volume, 80, 100}};
    performPanelAction(6024 + 13);
    KeySlot& key = keyBank.slots[13];
    for (const Buttons& value : values) {
        performPanelAction(value.up);
        EXPECT_EQ(key.*value.field, value.start + 1) << value.up;
        performPanelAction(value.down);
        performPanelAction(value.down);
        EXPECT_EQ(key.*value.field, value.start - 1) << value.down;
        performPanelAction(value.reset);
        EXPECT_EQ(key.*value.field, value.unity) << value.reset;
    }
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[0].note, 48);  // the key selected before is untouched
}

TEST_F(PanelClicks, DialsAndUnknownIdsDoNothing) {
    KeyBank before = keyBank;
    for (int id : {6009, 6010, 6020, 6021, 6022, 6023, 6000, 6071, 6074, 6076, 104, 0, -1}) performPanelAction(id);
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(keyBank.selectedKey, before.selectedKey);
    EXPECT_FALSE(document.modified);
}
