// What clicking the panel's controls does to the keys.
#include <gtest/gtest.h>

#include "panel/panel_actions.h"
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
    performPanelAction(6024 + 13);  // key 13: note 60, fine tune 0, volume 80
    KeySlot& key = keyBank.slots[13];
    performPanelAction(6001);
    EXPECT_EQ(key.note, 61);
    performPanelAction(6002);
    performPanelAction(6002);
    EXPECT_EQ(key.note, 59);
    performPanelAction(6013);
    EXPECT_EQ(key.note, 60);
    performPanelAction(6003);
    EXPECT_EQ(key.fineTune, 1);
    performPanelAction(6004);
    performPanelAction(6004);
    EXPECT_EQ(key.fineTune, -1);
    performPanelAction(6014);
    EXPECT_EQ(key.fineTune, 0);
    performPanelAction(6005);
    EXPECT_EQ(key.volume, 81);
    performPanelAction(6006);
    performPanelAction(6006);
    EXPECT_EQ(key.volume, 79);
    performPanelAction(6015);
    EXPECT_EQ(key.volume, 100);
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
