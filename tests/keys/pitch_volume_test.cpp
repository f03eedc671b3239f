// Note, fine tune, volume, pan and master volume as the voice hears them, at
// the values the panel gives and at any a setup file can hold.
#include "keys/pitch_volume.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <utility>

#include "keys/key_volume.h"
#include "support/key_bank_fixture.h"

namespace {

class Pitch : public KeyBankFixture {};
class Volume : public KeyBankFixture {};
class Pan : public KeyBankFixture {};
class VelocityCurve : public KeyBankFixture {};

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

// A setup file can hand a key's note, fine tune, volume and pan, and the master
// volume, any 16-bit value. Every one of them must play safely: no undefined
// arithmetic (the test build aborts on any), no table read out of bounds, and
// no level the device would refuse. Each case follows one field from the
// arithmetic above to what a press or an edit writes to the voice, so they
// stay one suite here, where the values are made safe.
constexpr int Lowest16 = -32768;
constexpr int Highest16 = 32767;
constexpr double TwoTo32 = 4294967296.0;
constexpr int32_t Untouched = -4321;  // a level no press writes

// Values a setup file could hold, from the ordinary to the absurd.
constexpr int16_t Samples[] = {-32768, -101, -1, 0, 1, 100, 128, 401, 32767};

// Real presses cost far more than the arithmetic: they take every value near
// the ordinary range and every seventh one beyond it.
bool worthAPress(int value) {
    return (value >= -600 && value <= 600) || value % 7 == 0 || value == Lowest16 || value == Highest16;
}

int nearestNote(int note) { return note < 0 ? 0 : note > 127 ? 127 : note; }

class BadKeyValues : public KeyBankFixture {
protected:
    void SetUp() override {
        KeyBankFixture::SetUp();
        voice = &giveVoice(0);  // HoldStop: each press is followed by a release
    }

    // Presses and releases key 0 and checks every level it wrote.
    ::testing::AssertionResult pressAndRelease() {
        callLog.clear();
        voice->volume = Untouched;
        keyDown(0);
        keyUp(0);
        for (const std::string& call : callLog) {
            if (call.rfind("voice0 SetVolume ", 0) != 0) continue;
            int level = std::stoi(call.substr(17));
            if (level < -10000 || level > 0) return ::testing::AssertionFailure() << "wrote " << call;
        }
        return ::testing::AssertionSuccess();
    }

    FakeVoice* voice = nullptr;
};

TEST_F(BadKeyValues, NoteOutsideTheTablePlaysTheNearestEnd) {
    KeySlot& slot = keyBank.slots[0];
    for (int note = Lowest16; note <= Highest16; ++note) {
        ASSERT_EQ(keyRate(note, 0), keyRate(nearestNote(note), 0)) << "note " << note;
        if (!worthAPress(note)) continue;
        slot.note = static_cast<int16_t>(note);
        ASSERT_TRUE(pressAndRelease());
        ASSERT_EQ(voice->frequency, keyFrequency(nearestNote(note), 0)) << "note " << note;
    }
    EXPECT_EQ(keyFrequency(-1, 0), keyFrequency(0, 0));
    EXPECT_EQ(keyFrequency(128, 0), keyFrequency(127, 0));
    EXPECT_NE(keyFrequency(0, 0), keyFrequency(127, 0));
}

TEST_F(BadKeyValues, AnyFineTuneGivesAWholeRateTheVoiceCanTake) {
    KeySlot& slot = keyBank.slots[0];
    for (int note : {0, 60, 127}) {
        uint32_t previous = 0;
        for (int fine = Lowest16; fine <= Highest16; ++fine) {
            double rate = keyRate(note, fine);
            // Checked before it is cast: an out-of-range cast is undefined.
            ASSERT_GE(rate, 0.0) << "note " << note << " fine " << fine;
            ASSERT_LT(rate, TwoTo32) << "note " << note << " fine " << fine;
            if (fine != 0) {
                ASSERT_EQ(rate, std::trunc(rate)) << "note " << note << " fine " << fine;
            }
            uint32_t frequency = keyFrequency(note, fine);
            ASSERT_GE(frequency, previous) << "note " << note << " fine " << fine;
            previous = frequency;
        }
    }
    // Far enough down the factor turns negative: no rate at all rather than a wrapped one.
    EXPECT_EQ(keyFrequency(60, -1782), 0u);
    EXPECT_GT(keyFrequency(60, -1781), 0u);

    slot.note = 127;  // the highest rates
    for (int fine = Lowest16; fine <= Highest16; ++fine) {
        if (!worthAPress(fine)) continue;
        slot.fineTune = static_cast<int16_t>(fine);
        ASSERT_TRUE(pressAndRelease());
        ASSERT_EQ(voice->frequency, keyFrequency(127, fine)) << "fine " << fine;
    }
}

TEST_F(BadKeyValues, VolumeBelowZeroIsSilentAndAboveTheCurveKeepsThePreviousLevel) {
    KeySlot& slot = keyBank.slots[0];
    int refused = 0;
    for (int volume = Lowest16; volume <= Highest16; ++volume) {
        int level = volumeLevel(volume);
        ASSERT_GE(level, -10000) << "volume " << volume;
        if (volume < 0) {
            ASSERT_EQ(level, -10000) << "volume " << volume;
        }
        if (volume > 0) {
            ASSERT_GE(level, volumeLevel(volume - 1)) << "volume " << volume;
        }
        if (volume >= 0 && volume <= 400) {
            ASSERT_LE(level, -51) << "volume " << volume;
        }

        // A volume edit on the panel writes it at once.
        slot.volume = static_cast<int16_t>(volume);
        voice->volume = Untouched;
        applyKeyVolume(0);
        ASSERT_EQ(voice->volume, level > 0 ? Untouched : level) << "volume " << volume;

        if (!worthAPress(volume)) continue;
        ASSERT_TRUE(pressAndRelease());
        if (level > 0) {
            ++refused;
            ASSERT_EQ(voice->volume, Untouched) << "volume " << volume;
            ASSERT_TRUE(callsStartingWith("voice0 SetVolume").empty()) << "volume " << volume;
        } else {
            ASSERT_EQ(voice->volume, level) << "volume " << volume;
        }
    }
    EXPECT_GT(refused, 0);  // the curve does pass 0 somewhere above 400
    EXPECT_EQ(volumeLevel(Lowest16), -10000);
}

TEST_F(BadKeyValues, NegativeMasterVolumeIsSilent) {
    KeySlot& slot = keyBank.slots[0];
    slot.volume = 100;
    for (int master = Lowest16; master <= Highest16; ++master) {
        masterVolume = static_cast<int16_t>(master);
        int level = volumeLevel(100);
        ASSERT_GE(level, -10000) << "master " << master;
        if (master <= 0) {
            ASSERT_EQ(level, -10000) << "master " << master;
        }
        if (master > 0) {
            masterVolume = static_cast<int16_t>(master - 1);
            ASSERT_LE(volumeLevel(100), level) << "master " << master;
            masterVolume = static_cast<int16_t>(master);
        }
        if (!worthAPress(master)) continue;
        ASSERT_TRUE(pressAndRelease());
        ASSERT_EQ(voice->volume, level > 0 ? Untouched : level) << "master " << master;
    }
}

TEST_F(BadKeyValues, AnyPanIsPassedOnWithoutOverflow) {
    KeySlot& slot = keyBank.slots[0];
    for (int pan = Lowest16; pan <= Highest16; ++pan) {
        long long expected = (static_cast<long long>(pan) - 100) * 100;
        ASSERT_EQ(panPosition(pan), expected) << "pan " << pan;
        if (!worthAPress(pan)) continue;
        slot.pan = static_cast<int16_t>(pan);
        ASSERT_TRUE(pressAndRelease());
        ASSERT_EQ(voice->pan, expected) << "pan " << pan;
    }
}

TEST_F(BadKeyValues, VolumeAndMasterTogetherStayWithinTheDeviceRange) {
    for (int volume = Lowest16; volume <= Highest16; volume += 257) {
        for (int master = Lowest16; master <= Highest16; master += 257) {
            masterVolume = static_cast<int16_t>(master);
            int level = volumeLevel(volume);
            ASSERT_GE(level, -10000) << "volume " << volume << " master " << master;
            if (volume < 0 || master <= 0) {
                ASSERT_EQ(level, -10000) << "volume " << volume << " master " << master;
            }
            voice->volume = Untouched;
            setVoiceVolume(0, volume);
            ASSERT_EQ(voice->volume, level > 0 ? Untouched : level);
        }
    }
}

TEST_F(VelocityCurve, SquareLawOverFortyDecibelsWithTheTopAtTheKeysOwnLevel) {
    const std::pair<int, int> levels[] = {{127, 0}, {126, -14}, {100, -410}, {64, -1165}, {32, -2275}, {1, -3995}};
    for (auto [velocity, attenuation] : levels) EXPECT_EQ(velocityAttenuation(velocity), attenuation) << velocity;
    for (int velocity = 2; velocity <= 127; ++velocity)
        EXPECT_GT(velocityAttenuation(velocity), velocityAttenuation(velocity - 1)) << velocity;
    // What no note-on carries reads as the nearest velocity that one does.
    EXPECT_EQ(velocityAttenuation(0), -3995);
    EXPECT_EQ(velocityAttenuation(-5000), -3995);
    EXPECT_EQ(velocityAttenuation(128), 0);
}

TEST_F(BadKeyValues, EveryFieldAtOnceStillPlaysSafely) {
    KeySlot& slot = keyBank.slots[0];
    for (int16_t note : Samples)
        for (int16_t fine : Samples)
            for (int16_t volume : Samples)
                for (int16_t pan : Samples)
                    for (int16_t master : {int16_t(-1), int16_t(10), int16_t(32767)}) {
                        slot.note = note;
                        slot.fineTune = fine;
                        slot.volume = volume;
                        slot.pan = pan;
                        masterVolume = master;
                        ASSERT_TRUE(pressAndRelease());
                        ASSERT_EQ(voice->frequency, keyFrequency(nearestNote(note), fine));
                        ASSERT_EQ(voice->pan, panPosition(pan));
                    }
}

}  // namespace
