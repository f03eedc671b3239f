// The fixed layout of the front panel: where the controls lie, what they
// show and do, the cursor rule and the release hit test.
#include "panel/panel_layout.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

#include "keys/key_bank.h"
#include "resources/command_ids.h"
#include "support/program_test.h"

namespace {

class PanelLayout : public ProgramTest {};
class PanelCursor : public ProgramTest {};
class PanelRelease : public ProgramTest {};

}  // namespace

TEST_F(PanelLayout, KeyCapsLieOnTheirRows) {
    EXPECT_EQ(keyCapInfo(0).x, 5);
    EXPECT_EQ(keyCapInfo(0).y, 191);
    EXPECT_EQ(keyCapInfo(12).x, 5 + 31 * 12);
    EXPECT_EQ(keyCapInfo(13).x, 52);
    EXPECT_EQ(keyCapInfo(13).y, 222);
    EXPECT_EQ(keyCapInfo(26).x, 68);
    EXPECT_EQ(keyCapInfo(26).y, 253);
    EXPECT_EQ(keyCapInfo(37).x, 84);
    EXPECT_EQ(keyCapInfo(37).y, 284);
    EXPECT_EQ(keyCapInfo(46).x, 363);
    EXPECT_EQ(keyCapInfo(46).y, 284);
}

TEST_F(PanelLayout, KeyCapsArePressControlsSelectingTheirKey) {
    for (int k = 0; k < KeyCount; ++k) {
        PanelControlInfo cap = keyCapInfo(k);
        EXPECT_EQ(cap.id, 6024 + k);
        EXPECT_TRUE(isKeyCapId(cap.id));
        EXPECT_EQ(keyOfKeyCapId(cap.id), k);
        EXPECT_STREQ(cap.image, "KEY");
        EXPECT_STREQ(cap.cursor, "KEYCUR");
        EXPECT_TRUE(cap.actsOnPress);
        EXPECT_EQ(cap.action, PanelAction::SelectKey);
        // Caps of one row never overlap and stay left of the sound list.
        EXPECT_LE(cap.x + 30, 461);
        if (k > 0 && keyCapInfo(k - 1).y == cap.y) {
            EXPECT_EQ(cap.x - keyCapInfo(k - 1).x, 31);
        }
    }
    EXPECT_FALSE(isKeyCapId(6023));
    EXPECT_FALSE(isKeyCapId(6071));
}

TEST_F(PanelLayout, TwentyThreePanelButtonsOwnTheirIds) {
    std::set<int> ids;
    for (const PanelControlInfo& b : PanelButtonInfos) {
        ids.insert(b.id);
        EXPECT_EQ(findPanelControlInfo(b.id), &b);
    }
    EXPECT_EQ(ids.size(), 23u);
    EXPECT_EQ(*ids.begin(), 6001);
    EXPECT_EQ(*ids.rbegin(), 6023);
    for (int unused : {0, 104, 6000, 6024, 6070, 6071, 6074, 6076, 6999})
        EXPECT_EQ(findPanelControlInfo(unused), nullptr) << unused;
    EXPECT_EQ(findPanelControlInfo(6075), &PanKnobInfo);
}

TEST_F(PanelLayout, ControlsHaveTheirPlacesImagesCursorsAndActions) {
    const PanelControlInfo* mute = findPanelControlInfo(6012);
    EXPECT_EQ(mute->x, 425);
    EXPECT_EQ(mute->y, 117);
    EXPECT_STREQ(mute->image, "MUTE");
    EXPECT_STREQ(mute->cursor, "KILLCUR");
    EXPECT_TRUE(mute->actsOnPress);
    EXPECT_EQ(mute->action, PanelAction::Mute);

    const PanelControlInfo* kill = findPanelControlInfo(6011);
    EXPECT_EQ(kill->x, 399);
    EXPECT_EQ(kill->y, 289);
    EXPECT_FALSE(kill->actsOnPress);
    EXPECT_EQ(kill->action, PanelAction::KillAll);

    const PanelControlInfo* fineDown = findPanelControlInfo(6004);
    EXPECT_EQ(fineDown->x, 358);
    EXPECT_EQ(fineDown->y, 84);
    EXPECT_STREQ(fineDown->image, "PITCHDOWN");
    EXPECT_TRUE(fineDown->actsOnPress);

    const PanelControlInfo* masterDown = findPanelControlInfo(6008);
    EXPECT_STREQ(masterDown->image, "MASVOLDOWN");
    EXPECT_FALSE(masterDown->actsOnPress);

    for (int dial : {6009, 6010, 6020, 6021, 6022, 6023}) {
        EXPECT_EQ(findPanelControlInfo(dial)->action, PanelAction::None);
        EXPECT_FALSE(findPanelControlInfo(dial)->actsOnPress);
    }
    for (int reset : {6013, 6014, 6015}) {
        EXPECT_STREQ(findPanelControlInfo(reset)->image, "RESET");
        EXPECT_FALSE(findPanelControlInfo(reset)->actsOnPress);
    }

    EXPECT_EQ(PanKnobInfo.x, 184);
    EXPECT_EQ(PanKnobInfo.y, 18);
    EXPECT_STREQ(PanKnobInfo.image, "PANDOWN");
    EXPECT_STREQ(PanKnobInfo.cursor, "PANCUR");
    EXPECT_TRUE(PanKnobInfo.actsOnPress);
}

TEST_F(PanelLayout, TriggerModeButtonsCarryTheirLitImageAndMode) {
    const char* lit[] = {"LOOP1", "LOOP2", "LOOP3", "LOOP4"};
    const char* pressed[] = {"LOOP1DOWN", "LOOP2DOWN", "LOOP3DOWN", "LOOP4DOWN"};
    const int16_t modes[] = {HoldStop, ToggleStop, HoldFinish, ToggleFinish};
    for (int i = 0; i < 4; ++i) {
        const PanelControlInfo* b = findPanelControlInfo(6016 + i);
        EXPECT_STREQ(b->litImage, lit[i]);
        EXPECT_STREQ(b->image, pressed[i]);
        EXPECT_EQ(b->triggerMode, modes[i]);
        EXPECT_EQ(b->action, PanelAction::TriggerMode);
    }
    int withLight = 0;
    for (const PanelControlInfo& b : PanelButtonInfos) withLight += b.litImage != nullptr;
    EXPECT_EQ(withLight, 4);
}

TEST_F(PanelLayout, EachTriggerModeLightsOneButton) {
    EXPECT_EQ(triggerLightButtonId(HoldStop), 6016);
    EXPECT_EQ(triggerLightButtonId(ToggleStopRunning), 6017);
    EXPECT_EQ(triggerLightButtonId(ToggleStop), 6017);
    EXPECT_EQ(triggerLightButtonId(HoldFinish), 6018);
    EXPECT_EQ(triggerLightButtonId(ToggleFinishRunning), 6019);
    EXPECT_EQ(triggerLightButtonId(ToggleFinish), 6019);
    for (int other : {0, 990, 997, -991, 32767}) EXPECT_EQ(triggerLightButtonId(other), 0) << other;
}

TEST_F(PanelCursor, ControlsListAndEverythingElse) {
    EXPECT_EQ(cursorChoiceForId(6000), CursorChoice::ControlCursor);
    EXPECT_EQ(cursorChoiceForId(6024), CursorChoice::ControlCursor);
    EXPECT_EQ(cursorChoiceForId(6999), CursorChoice::ControlCursor);
    EXPECT_EQ(cursorChoiceForId(SOUND_LIST_ID), CursorChoice::ListCursor);
    EXPECT_EQ(cursorChoiceForId(5999), CursorChoice::MainCursor);
    EXPECT_EQ(cursorChoiceForId(7000), CursorChoice::MainCursor);
    EXPECT_EQ(cursorChoiceForId(0), CursorChoice::MainCursor);
    EXPECT_EQ(cursorChoiceForId(-1), CursorChoice::MainCursor);
    EXPECT_EQ(cursorChoiceForId(0x100000000LL + 6001), CursorChoice::MainCursor);
}

TEST_F(PanelRelease, CountsOnlyPointsInsideTheControl) {
    const PanelRect kill = {399, 289, 454, 317};
    auto at = [](int x, int y) { return static_cast<uint32_t>((y & 0xFFFF) << 16 | (x & 0xFFFF)); };
    EXPECT_TRUE(releaseInsideControl(at(0, 0), kill));
    EXPECT_TRUE(releaseInsideControl(at(54, 27), kill));
    EXPECT_FALSE(releaseInsideControl(at(55, 10), kill));  // right edge excluded
    EXPECT_FALSE(releaseInsideControl(at(10, 28), kill));  // bottom edge excluded
    EXPECT_FALSE(releaseInsideControl(at(-1, 10), kill));  // left of it
    EXPECT_FALSE(releaseInsideControl(at(10, -1), kill));  // above it
    EXPECT_FALSE(releaseInsideControl(at(-400, -300), kill));
}
