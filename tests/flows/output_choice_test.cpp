// Which output plays: the low-latency one unless DirectSound was chosen, the
// other one when the chosen one cannot be had, and the menu item that switches.
#include "flows/output_choice.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "audio/sound_bank.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_menu.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_sound_list_window.h"
#include "flows/sound_loading.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "keys/playing.h"
#include "resources/command_ids.h"
#include "setup/document.h"
#include "support/program_test.h"
#include "support/temp_files.h"
#include "support/wave_bytes.h"

using Calls = std::vector<std::string>;

namespace {

class ChoosingTheOutput : public ProgramTest {
protected:
    void startUp() {
        callLog.clear();
        startInstrument();
    }
    bool menuChecked() const { return fakeMenu.checked.at(CMD_LOW_LATENCY_OUTPUT); }
};

TEST_F(ChoosingTheOutput, StartUpOpensTheLowLatencyOutputUnlessDirectSoundWasChosen) {
    struct Case {
        const char* setting;  // nullptr: never chosen
        AudioOutput opened;
    };
    const Case cases[] = {
        {nullptr, AudioOutput::LowLatency},          {"wasapi", AudioOutput::LowLatency},
        {"directsound", AudioOutput::DirectSound},   {"DirectSound", AudioOutput::DirectSound},
        {"something else", AudioOutput::LowLatency},
    };
    for (const Case& c : cases) {
        resetProgramState();
        if (c.setting) fakeRegistry.settings["Output"] = c.setting;
        startUp();
        EXPECT_EQ(fakeAudio.open, c.opened) << (c.setting ? c.setting : "none");
        EXPECT_EQ(menuChecked(), c.opened == AudioOutput::LowLatency) << (c.setting ? c.setting : "none");
        EXPECT_TRUE(callsStartingWith("setting").empty());  // starting chooses nothing
    }
}

TEST_F(ChoosingTheOutput, AnOutputThatCannotBeHadGivesWayToTheOtherWithoutAMessage) {
    fakeAudio.lowLatencyOpens = false;
    startUp();
    EXPECT_EQ(callLog, (Calls{"output open low-latency", "output open directsound", "menu uncheck 40020",
                              "menu grey 40021", "panel refreshSelectedKey"}));
    EXPECT_EQ(fakeAudio.open, AudioOutput::DirectSound);

    resetProgramState();
    fakeRegistry.settings["Output"] = "directsound";
    fakeAudio.directSoundOpens = false;
    startUp();
    EXPECT_EQ(fakeAudio.open, AudioOutput::LowLatency);
    EXPECT_TRUE(menuChecked());
}

class SwitchingOutput : public ChoosingTheOutput {
protected:
    void SetUp() override {
        ChoosingTheOutput::SetUp();
        startUp();
        // Three sounds of the folder, loaded as Import Sounds loads them.
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
            files.writeAt(files.folder + "\\" + name, wavetest::simpleWave(wavetest::countingBytes(16)));
            fakeSoundList.entries.push_back(name);
        }
        setSoundDirectory(files.folder);
        loadSoundBank();
    }
    wavetest::TempFiles files;
};

TEST_F(SwitchingOutput, SwitchingStopsEverySoundAndLoadsTheSoundsIntoTheOtherOutput) {
    keyBank.slots[26].note = 70;
    keyBank.slots[26].volume = 150;
    keyDown(26);  // a toggle key, latched
    keyUp(26);
    keyDown(0);  // held while the output changes
    const KeySlot before = keyBank.slots[26];
    const std::string latched = static_cast<FakeVoice*>(before.voice)->name;
    const std::string held = static_cast<FakeVoice*>(keyBank.slots[0].voice)->name;
    document.modified = false;
    callLog.clear();

    switchAudioOutput();

    EXPECT_EQ(callsStartingWith("setting"), (Calls{"setting Output = directsound"}));
    EXPECT_EQ(fakeRegistry.settings["Output"], "directsound");
    // Every sound stops before its voice goes, and the output closes after the last one.
    auto at = [](const std::string& call) { return std::find(callLog.begin(), callLog.end(), call) - callLog.begin(); };
    EXPECT_LT(at(latched + " Stop"), at(latched + " Release"));
    EXPECT_LT(at(held + " Stop"), at(held + " Release"));
    EXPECT_LT(at(held + " Release"), at("output close"));
    EXPECT_LT(at("output close"), at("output open directsound"));
    EXPECT_LT(at("menu uncheck 40020"), at("device CreateSoundBuffer 17"));
    EXPECT_EQ(callsStartingWith("device CreateSoundBuffer").size(), 3u);
    EXPECT_EQ(fakeAudio.open, AudioOutput::DirectSound);
    EXPECT_FALSE(menuChecked());
    // The keys are as they were, idle, and play again.
    EXPECT_EQ(keyBank.slots[26].note, before.note);
    EXPECT_EQ(keyBank.slots[26].volume, before.volume);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
    EXPECT_NE(keyBank.slots[26].voice, nullptr);
    EXPECT_NE(keyBank.slots[26].voice, before.voice);
    EXPECT_FALSE(isKeyPlaying(26));
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(fakeSoundList.entries.size(), 3u);

    callLog.clear();
    switchAudioOutput();
    EXPECT_EQ(fakeRegistry.settings["Output"], "wasapi");
    EXPECT_EQ(fakeAudio.open, AudioOutput::LowLatency);
    EXPECT_TRUE(menuChecked());
    EXPECT_EQ(callsStartingWith("device CreateSoundBuffer").size(), 3u);
}

TEST_F(SwitchingOutput, ALowLatencyOutputThatWillNotOpenLeavesDirectSoundPlayingAndTheChoiceKept) {
    switchAudioOutput();  // to DirectSound
    fakeAudio.lowLatencyOpens = false;
    callLog.clear();
    switchAudioOutput();
    EXPECT_EQ(fakeRegistry.settings["Output"], "wasapi");  // tried again at the next start
    EXPECT_EQ(fakeAudio.open, AudioOutput::DirectSound);
    EXPECT_FALSE(menuChecked());
    EXPECT_EQ(callsStartingWith("device CreateSoundBuffer").size(), 3u);
    EXPECT_TRUE(callsStartingWith("dialog").empty());
}

TEST_F(ChoosingTheOutput, SwitchingBeforeAnySoundFolderLoadsNothing) {
    startUp();
    fakeSoundList.entries = {"No Sounds Loaded.wav"};  // the list's placeholder
    callLog.clear();
    switchAudioOutput();
    EXPECT_EQ(callLog, (Calls{"setting Output = directsound", "output close", "output open directsound",
                              "menu uncheck 40020", "menu grey 40021"}));
    EXPECT_EQ(soundBank.soundCount, 0);
}

}  // namespace
