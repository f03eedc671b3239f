// Which endpoint the low-latency output plays on: the remembered choice or the
// default, what happens when a stream is lost or the default changes, and the
// Output Device menu.
#include "flows/output_device.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_menu.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_voice.h"
#include "flows/output_choice.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "keys/playing.h"
#include "resources/command_ids.h"
#include "support/program_test.h"

using Calls = std::vector<std::string>;

namespace {

const std::string Two = "{0.0.0.00000000}.{two}";
const std::string Three = "{0.0.0.00000000}.{three}";

class FollowingTheOutput : public ProgramTest {
protected:
    void startUp(const std::string& remembered = "") {
        if (!remembered.empty()) fakeRegistry.settings["OutputDevice"] = remembered;
        fakeAudio.endpoints = {{"{0.0.0.00000000}.{default}", "PulseAudio"}, {Two, "SinkTwo"}, {Three, "SinkThree"}};
        startInstrument();
        callLog.clear();
    }
    std::vector<MenuListItem> menu() {
        refreshOutputDeviceMenu();
        return fakeMenu.lists[CMD_OUTPUT_DEVICE_FIRST];
    }
    std::string checkedItem() {
        std::string checked;
        for (const MenuListItem& item : menu())
            if (item.checked) checked += (checked.empty() ? "" : ", ") + item.text;
        return checked;
    }
};

TEST_F(FollowingTheOutput, StartUpPlaysOnTheRememberedEndpointOrElseTheDefault) {
    startUp(Two);
    EXPECT_EQ(fakeAudio.endpoint, Two);

    resetProgramState();
    fakeAudio.absentEndpoints = {Two};
    fakeRegistry.settings["OutputDevice"] = Two;
    startInstrument();
    EXPECT_EQ(callsStartingWith("output"), (Calls{"output open low-latency " + Two, "output open low-latency"}));
    EXPECT_EQ(fakeAudio.endpoint, "");
    EXPECT_EQ(fakeRegistry.settings["OutputDevice"], Two) << "an absent endpoint is still the choice";
    EXPECT_FALSE(fakeAudio.retryScheduled);

    resetProgramState();
    fakeAudio.absentEndpoints = {""};  // not even a default: DirectSound, as before
    startInstrument();
    EXPECT_EQ(fakeAudio.open, AudioOutput::DirectSound);
}

TEST_F(FollowingTheOutput, ALostStreamComesBackOnTheChoiceOrTheDefaultAndElseIsTriedEverySecond) {
    startUp(Two);
    fakeAudio.device.buffers.push_back(std::make_unique<FakeVoice>("voice13"));
    keyBank.slots[13].voice = fakeAudio.device.buffers.back().get();
    keyDown(13);  // a key held through it all
    callLog.clear();

    fakeAudio.absentEndpoints = {Two};  // its sink was unloaded
    onOutputLost();
    EXPECT_EQ(callLog, (Calls{"output move " + Two, "output move default", "output retry off"}));
    EXPECT_EQ(fakeAudio.endpoint, "");

    fakeAudio.absentEndpoints = {Two, ""};  // the sound server went away
    callLog.clear();
    onOutputLost();
    EXPECT_EQ(callLog, (Calls{"output move " + Two, "output move default", "output retry on"}));
    callLog.clear();
    onOutputRetryDue();
    EXPECT_EQ(callLog, (Calls{"output move " + Two, "output move default", "output retry on"}));

    fakeAudio.absentEndpoints = {Two};  // back
    callLog.clear();
    onOutputRetryDue();
    EXPECT_EQ(callLog, (Calls{"output move " + Two, "output move default", "output retry off"}));
    callLog.clear();
    onOutputRetryDue();  // a tick that was already on its way does nothing more
    EXPECT_TRUE(callLog.empty());

    // Through every move the voices were left alone: the held key plays on.
    EXPECT_TRUE(callsStartingWith("voice13").empty());
    EXPECT_TRUE(isKeyPlaying(13));
    EXPECT_EQ(fakeAudio.open, AudioOutput::LowLatency);
}

TEST_F(FollowingTheOutput, TheDefaultIsFollowedUnlessAChosenEndpointPlays) {
    startUp();
    onDefaultOutputChanged();
    EXPECT_EQ(callLog, (Calls{"output move default"}));

    resetProgramState();
    startUp(Two);
    onDefaultOutputChanged();
    EXPECT_TRUE(callLog.empty());

    // Played on the default because the choice is away: the default is followed.
    fakeAudio.absentEndpoints = {Two};
    onOutputLost();
    callLog.clear();
    onDefaultOutputChanged();
    EXPECT_EQ(callLog, (Calls{"output move default"}));
}

TEST_F(FollowingTheOutput, AChosenEndpointThatComesBackIsPlayedOnAgain) {
    fakeAudio.absentEndpoints = {Two};
    startUp(Two);
    EXPECT_EQ(fakeAudio.endpoint, "");
    onOutputEndpointsChanged();  // another endpoint came: still not the one
    EXPECT_EQ(callLog, (Calls{"output move " + Two}));
    EXPECT_EQ(fakeAudio.endpoint, "");

    fakeAudio.absentEndpoints.clear();
    callLog.clear();
    onOutputEndpointsChanged();
    EXPECT_EQ(callLog, (Calls{"output move " + Two, "output retry off"}));
    EXPECT_EQ(fakeAudio.endpoint, Two);
    callLog.clear();
    onOutputEndpointsChanged();
    EXPECT_TRUE(callLog.empty());
}

TEST_F(FollowingTheOutput, AChosenEndpointInUseThatGoesIsLeftForTheDefaultAtOnce) {
    startUp(Two);
    fakeAudio.endpoints.erase(fakeAudio.endpoints.begin() + 1);  // removed or disabled
    fakeAudio.absentEndpoints = {Two};
    onOutputEndpointsChanged();
    EXPECT_EQ(callLog, (Calls{"output move " + Two, "output move default", "output retry off"}));
    EXPECT_EQ(fakeAudio.endpoint, "");
    // Still the choice: played on again once it is back.
    fakeAudio.endpoints.insert(fakeAudio.endpoints.begin() + 1, {Two, "SinkTwo"});
    fakeAudio.absentEndpoints.clear();
    callLog.clear();
    onOutputEndpointsChanged();
    EXPECT_EQ(callLog, (Calls{"output move " + Two, "output retry off"}));
}

TEST_F(FollowingTheOutput, TheMenuListsTheEndpointsAndMovesTheSoundToTheOneChosen) {
    startUp();
    std::vector<MenuListItem> items = menu();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, "Default Device");
    EXPECT_EQ(items[2].text, "SinkTwo");
    EXPECT_TRUE(fakeMenu.listEnabled[CMD_OUTPUT_DEVICE_FIRST]);
    EXPECT_EQ(checkedItem(), "Default Device");

    callLog.clear();
    chooseOutputDevice(2);
    EXPECT_EQ(callLog, (Calls{"setting OutputDevice = " + Two, "output move " + Two, "output retry off"}));
    EXPECT_EQ(checkedItem(), "SinkTwo");
    callLog.clear();
    chooseOutputDevice(2);  // the same again: no move, no gap
    EXPECT_TRUE(callLog.empty());

    chooseOutputDevice(0);
    EXPECT_EQ(fakeRegistry.settings["OutputDevice"], "");
    EXPECT_EQ(fakeAudio.endpoint, "");
    EXPECT_EQ(checkedItem(), "Default Device");
    callLog.clear();
    chooseOutputDevice(9);  // no such item
    EXPECT_TRUE(callLog.empty());
}

TEST_F(FollowingTheOutput, WithDirectSoundTheMenuIsGreyedAndNothingIsFollowed) {
    fakeRegistry.settings["Output"] = "directsound";
    startUp(Two);
    std::vector<MenuListItem> items = menu();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_FALSE(items[0].checked);
    EXPECT_FALSE(fakeMenu.listEnabled[CMD_OUTPUT_DEVICE_FIRST]);
    callLog.clear();
    onOutputLost();
    onDefaultOutputChanged();
    onOutputEndpointsChanged();
    onOutputRetryDue();
    chooseOutputDevice(0);
    EXPECT_TRUE(callLog.empty());

    // Switched to the low-latency output, it plays on the remembered endpoint.
    switchAudioOutput();
    EXPECT_EQ(fakeAudio.endpoint, Two);
}

TEST_F(FollowingTheOutput, SwitchingToDirectSoundWhileRetryingStopsTheRetry) {
    startUp();
    fakeAudio.absentEndpoints = {""};
    onOutputLost();
    ASSERT_TRUE(fakeAudio.retryScheduled);
    switchAudioOutput();
    EXPECT_FALSE(fakeAudio.retryScheduled);
    EXPECT_EQ(fakeAudio.open, AudioOutput::DirectSound);
}

}  // namespace
