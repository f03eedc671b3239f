// The numbers behind the panel's displays: bar heights, the pan knob,
// readout and key cap texts and the key cap colours.
#include "panel/panel_meters.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

#include "keys/key_bank.h"
#include "support/program_test.h"

namespace {

int filledPixels(const ValueDisplay& shown, const PanelRect& bar) {
    return bar.bottom - barSplit(shown.barRangeTop, shown.barValue, bar.top, bar.bottom);
}

int masterFilled(int level) {
    const PanelRect& bar = MasterVolumeBarRect;
    return bar.bottom - barSplit(10, level, bar.top, bar.bottom);
}

std::string readout(int value) {
    char text[ShortTextCapacity];
    formatReadout(value, text);
    return text;
}

std::string capLabel(int soundIndex) {
    char text[ShortTextCapacity];
    formatKeyCapLabel(soundIndex, text);
    return text;
}

class BarMeters : public ProgramTest {};
class PanKnob : public ProgramTest {};
class Readouts : public ProgramTest {};
class KeyCapLabels : public ProgramTest {};
class KeyCapColours : public ProgramTest {};
class StyledText : public ProgramTest {};
class SoundListSelection : public ProgramTest {};

}  // namespace

TEST_F(BarMeters, NoteBar) {
    EXPECT_EQ(filledPixels(noteDisplay(60), NoteBarRect), 40);
    EXPECT_EQ(filledPixels(noteDisplay(1), NoteBarRect), 0);
    EXPECT_EQ(filledPixels(noteDisplay(124), NoteBarRect), 84);
    EXPECT_EQ(filledPixels(noteDisplay(125), NoteBarRect), 85);
    EXPECT_EQ(filledPixels(noteDisplay(127), NoteBarRect), 85);
}

TEST_F(BarMeters, FineTuneBarShowsTheTuneAboveMinusOneHundred) {
    EXPECT_EQ(filledPixels(fineTuneDisplay(-100), FineTuneBarRect), 0);
    EXPECT_EQ(filledPixels(fineTuneDisplay(0), FineTuneBarRect), 44);
    EXPECT_EQ(filledPixels(fineTuneDisplay(93), FineTuneBarRect), 84);
    EXPECT_EQ(filledPixels(fineTuneDisplay(94), FineTuneBarRect), 85);
}

TEST_F(BarMeters, VolumeBarTurnsHotAboveOneHundred) {
    EXPECT_EQ(filledPixels(volumeDisplay(100), VolumeBarRect), 23);
    EXPECT_FALSE(volumeDisplay(100).hot);
    EXPECT_TRUE(volumeDisplay(101).hot);
    EXPECT_EQ(filledPixels(volumeDisplay(0), VolumeBarRect), 0);
    EXPECT_EQ(filledPixels(volumeDisplay(369), VolumeBarRect), 84);
    EXPECT_EQ(filledPixels(volumeDisplay(370), VolumeBarRect), 85);
    EXPECT_EQ(filledPixels(volumeDisplay(400), VolumeBarRect), 85);
}

TEST_F(BarMeters, MasterVolumeLevels) {
    const int expected[] = {0, 4, 9, 13, 18, 22, 27, 31, 36, 40, 45};
    for (int level = 0; level <= 10; ++level) EXPECT_EQ(masterFilled(level), expected[level]) << level;
}

TEST_F(BarMeters, AnySixteenBitValueStaysInsideItsBar) {
    const PanelRect bars[] = {NoteBarRect, FineTuneBarRect, VolumeBarRect, MasterVolumeBarRect};
    const int ranges[] = {127, 200, 400, 10};
    for (int b = 0; b < 4; ++b) {
        int previous = bars[b].bottom;
        for (int value = INT16_MIN; value <= INT16_MAX; ++value) {
            int split = barSplit(ranges[b], value, bars[b].top, bars[b].bottom);
            ASSERT_GE(split, bars[b].top) << value;
            ASSERT_LE(split, bars[b].bottom) << value;
            if (value >= 0 && value <= ranges[b]) {
                ASSERT_LE(split, previous) << "bar shrinks as the value grows, at " << value;
                previous = split;
            }
        }
    }
    // The wider shifted fine-tune value of a damaged file stays in range too.
    EXPECT_EQ(barSplit(200, fineTuneDisplay(INT16_MIN).barValue, 29, 114), 114);
}

TEST_F(PanKnob, PositionAndImageFollowThePan) {
    EXPECT_EQ(panKnobX(0), 184);
    EXPECT_EQ(panKnobX(1), 184);
    EXPECT_EQ(panKnobX(100), 214);
    EXPECT_EQ(panKnobX(200), 244);
    EXPECT_EQ(panKnobImage(0), PanKnobImage::Left);
    EXPECT_EQ(panKnobImage(1), PanKnobImage::Left);
    EXPECT_EQ(panKnobImage(99), PanKnobImage::Left);
    EXPECT_EQ(panKnobImage(100), PanKnobImage::Centre);
    EXPECT_EQ(panKnobImage(101), PanKnobImage::Right);
    EXPECT_EQ(panKnobImage(200), PanKnobImage::Right);
    EXPECT_STREQ(panKnobImageName(PanKnobImage::Left), "PANLEFT");
    EXPECT_STREQ(panKnobImageName(PanKnobImage::Centre), "PANCENTER");
    EXPECT_STREQ(panKnobImageName(PanKnobImage::Right), "PANRIGHT");
}

TEST_F(PanKnob, MatchesTheTrackFormulaAndNeverLeavesTheTrack) {
    for (int pan = 0; pan <= 200; ++pan) EXPECT_EQ(panKnobX(pan), static_cast<int>((pan / 2) * 0.6 + 184)) << pan;
    for (int pan = INT16_MIN; pan <= INT16_MAX; ++pan) {
        ASSERT_GE(panKnobX(pan), 184) << pan;
        ASSERT_LE(panKnobX(pan), 244) << pan;
    }
}

TEST_F(Readouts, SpaceThenTheSignedNumber) {
    EXPECT_EQ(readout(noteDisplay(60).readoutValue), " 0");
    EXPECT_EQ(readout(noteDisplay(127).readoutValue), " 67");
    EXPECT_EQ(readout(noteDisplay(1).readoutValue), " -59");
    EXPECT_EQ(readout(volumeDisplay(100).readoutValue), " 100");
    EXPECT_EQ(readout(fineTuneDisplay(-100).readoutValue), " -100");
    EXPECT_EQ(readout(noteDisplay(INT16_MIN).readoutValue), " -32828");
}

TEST_F(KeyCapLabels, ShowTheSoundCountedFromOne) {
    EXPECT_EQ(capLabel(0), "1");
    EXPECT_EQ(capLabel(46), "47");
    EXPECT_EQ(capLabel(-1), "0");
    EXPECT_EQ(capLabel(INT16_MIN), "-32767");
    EXPECT_EQ(capLabel(INT16_MAX), "32768");
}

TEST_F(KeyCapColours, EveryModePlayingAndMuteCombination) {
    for (int mode : {int{HoldFinish}, int{HoldStop}, int{ToggleStop}, int{ToggleFinish}, 0, 32767}) {
        EXPECT_EQ(keyCapLook(mode, false, false), KeyCapLook::Idle) << mode;
        EXPECT_EQ(keyCapLook(mode, false, true), KeyCapLook::Idle) << mode;
        EXPECT_EQ(keyCapLook(mode, true, false), KeyCapLook::Playing) << mode;
        EXPECT_EQ(keyCapLook(mode, true, true), KeyCapLook::Muted) << mode;
    }
    for (int mode : {int{ToggleStopRunning}, int{ToggleFinishRunning}}) {
        // Latched keys show running even while the voice is momentarily silent.
        EXPECT_EQ(keyCapLook(mode, false, false), KeyCapLook::Running) << mode;
        EXPECT_EQ(keyCapLook(mode, true, false), KeyCapLook::Running) << mode;
        EXPECT_EQ(keyCapLook(mode, false, true), KeyCapLook::Muted) << mode;
        EXPECT_EQ(keyCapLook(mode, true, true), KeyCapLook::Muted) << mode;
    }
}

TEST_F(StyledText, ReferencePointFollowsTheAlignment) {
    EXPECT_EQ(textReferenceX(AlignLeft, 3, 27), 5);
    EXPECT_EQ(textReferenceX(AlignRight, 300, 326), 324);
    EXPECT_EQ(textReferenceX(AlignCentre, 300, 327), 313);
}

TEST_F(SoundListSelection, OnlyExistingEntriesAreSelected) {
    EXPECT_EQ(soundListEntryForKey(0, 3), 0);
    EXPECT_EQ(soundListEntryForKey(2, 3), 2);
    EXPECT_EQ(soundListEntryForKey(3, 3), -1);
    EXPECT_EQ(soundListEntryForKey(0, 0), -1);
    EXPECT_EQ(soundListEntryForKey(-1, 3), -1);
}
