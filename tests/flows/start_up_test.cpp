// The instrument's start: the output first, the keys' start-up values, the panel last.
#include "flows/start_up.h"

#include <gtest/gtest.h>

#include "support/key_bank_fixture.h"

namespace {

class StartUp : public KeyBankFixture {};

TEST_F(StartUp, OpensTheDeviceFirstAndRefreshesThePanelLast) {
    callLog.clear();
    keyBank.selectedKey = 30;
    startInstrument();
    EXPECT_EQ(callLog,
              (Calls{"output open low-latency", "menu check 40020", "menu enable 40021", "panel refreshSelectedKey"}));
    EXPECT_EQ(audioDevice, &fakeAudio.device);
    EXPECT_EQ(keyBank.selectedKey, 0);
}

TEST_F(StartUp, GoesOnWithoutAnAudioDevice) {
    fakeAudio.reset();
    fakeAudio.lowLatencyOpens = false;
    fakeAudio.directSoundOpens = false;
    keyBank = KeyBank{};
    keyBank.slots[13].note = 0;
    callLog.clear();
    startInstrument();
    EXPECT_EQ(audioDevice, nullptr);
    EXPECT_EQ(callLog, (Calls{"output open low-latency", "output open directsound", "menu uncheck 40020",
                              "menu grey 40021", "panel refreshSelectedKey"}));
    EXPECT_EQ(keyBank.slots[13].note, 60);
    EXPECT_EQ(keyFrequency(60, 0), 44100u);
}

}  // namespace
