// Loading sounds: a sound folder into the list and the bank, Import Sounds,
// the list's sound given to the selected key, and the bank on the
// low-latency output.
#include "flows/sound_loading.h"

#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "audio/audio_device.h"
#include "audio/mixer.h"
#include "audio/sound_bank.h"
#include "fakes/call_log.h"
#include "fakes/fake_main_window.h"
#include "fakes/fake_sound_folder.h"
#include "fakes/fake_sound_list_window.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/key_voices.h"
#include "keys/playing.h"
#include "library/sound_directory.h"
#include "setup/document.h"
#include "support/aiff_bytes.h"
#include "support/mixer_output.h"
#include "support/program_test.h"
#include "support/sound_files_fixture.h"
#include "support/temp_files.h"
#include "support/wave_bytes.h"

using namespace mixertest;
using namespace wavetest;
using Calls = std::vector<std::string>;

namespace {

class LoadingSounds : public ProgramTest {};
class ChoosingASoundFromTheList : public ProgramTest {};
class LoadingTheSoundBank : public SoundFilesFixture {};

class LoadingAFolderAgain : public SixSoundsFixture {};

// The sound bank works the same on the mixer: a file's own format plays, and
// one the mixer refuses gives the load message.
class LoadingSoundsForTheLowLatencyOutput : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();
        audioDevice = &mixer;
        setSoundDirectory(files.folder + "/bank");
    }
    void TearDown() override {
        releaseAllSounds();
        audioDevice = nullptr;
        ProgramTest::TearDown();
    }
    std::string addSound(const std::string& name, const wavetest::Bytes& bytes) {
        std::string path = std::string(soundDirectory) + "\\" + name;
        files.writeAt(path, bytes);
        fakeSoundList.entries.push_back(name);
        return path;
    }

    Mixer mixer{floatStereo(), 4096};
    wavetest::TempFiles files;
};

TEST_F(LoadingSounds, AMissingSoundFolderChangesNothingAndRestoresTheCurrentFolder) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/gone");
    EXPECT_FALSE(loadSoundDirectory());
    EXPECT_EQ(fakeSoundFolder.currentFolder, "/start");
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"No Sounds Loaded.wav"}));
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");
}

TEST_F(LoadingSounds, AnEmptySoundFolderNameIsNotLoaded) {
    EXPECT_FALSE(loadSoundDirectory());
    EXPECT_TRUE(callsStartingWith("device").empty());
}

TEST_F(LoadingSounds, LoadingAFolderRefillsTheListSortedAndRestoresTheCurrentFolder) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    fakeSoundFolder.existingFolders = {"/sounds/Drums"};
    fakeSoundFolder.soundsInFolder = {"snare.wav", "Kick.wav", "hat.WAV"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/sounds/Drums");
    EXPECT_TRUE(loadSoundDirectory());
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"hat.WAV", "Kick.wav", "snare.wav"}));
    EXPECT_EQ(fakeSoundFolder.currentFolder, "/start");
    EXPECT_STREQ(soundDirectoryTitle, "Drums");
    EXPECT_EQ(fakeMainWindow.title, "Untitled  using:  Drums");
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(soundBank.soundCount, 3);
}

TEST_F(LoadingSounds, AFolderWithoutSoundsEmptiesTheListPlaceholderIncluded) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    fakeSoundFolder.existingFolders = {"/empty"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/empty");
    EXPECT_TRUE(loadSoundDirectory());
    EXPECT_TRUE(fakeSoundList.entries.empty());
    EXPECT_EQ(soundBank.soundCount, 0);
}

TEST_F(LoadingSounds, TheTitleAndModifiedFlagChangeBeforeAnySoundIsLoaded) {
    fakeSoundFolder.existingFolders = {"/sounds/Pads"};
    fakeSoundFolder.soundsInFolder = {"pad.wav"};
    std::snprintf(soundDirectory, PathCapacity, "%s", "/sounds/Pads");
    loadSoundDirectory();
    auto title = std::find(callLog.begin(), callLog.end(), "title Untitled  using:  Pads");
    auto firstDeviceCall = std::find_if(callLog.begin(), callLog.end(),
                                        [](const std::string& call) { return call.rfind("device", 0) == 0; });
    ASSERT_NE(title, callLog.end());
    EXPECT_LT(title - callLog.begin(), firstDeviceCall - callLog.begin());
}

TEST_F(LoadingSounds, ImportTakesTheChosenFilesFolderOrChangesNothingWhenCancelled) {
    EXPECT_FALSE(importSounds());
    EXPECT_STREQ(soundDirectory, "");

    fakeSoundFolder.importChosen = true;
    fakeSoundFolder.importFolder = "/sounds/Keys";
    fakeSoundFolder.existingFolders = {"/sounds/Keys"};
    fakeSoundFolder.soundsInFolder = {"piano.wav"};
    EXPECT_TRUE(importSounds());
    EXPECT_STREQ(soundDirectory, "/sounds/Keys");
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"piano.wav"}));
}

TEST_F(ChoosingASoundFromTheList, ReleasingTheButtonOverTheListAssignsItsSelectionToTheSelectedKey) {
    fakeSoundList.entries = {"No Sounds Loaded.wav"};
    fakeSoundList.selection = 0;
    keyBank.selectedKey = 30;
    keyBank.slots[30].soundIndex = 6;
    assignSelectedSoundFromList();
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[30].soundIndex, 0);
    EXPECT_EQ(callsStartingWith("panel drawKeyCapLabelIdle"),
              (std::vector<std::string>{"panel drawKeyCapLabelIdle 30"}));

    // With no selection nothing is assigned, but the setup still counts as changed.
    document.modified = false;
    fakeSoundList.selection = -1;
    assignSelectedSoundFromList();
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[30].soundIndex, 0);
}

TEST_F(LoadingTheSoundBank, ThirtySoundsGiveEveryKeyAVoiceOfItsStartUpSound) {
    addWaves(30);
    loadSoundBank();
    EXPECT_EQ(soundBank.soundCount, 30);
    ASSERT_EQ(soundBank.soundBuffers.size(), 30u);
    for (int s = 0; s < 30; ++s) EXPECT_NE(bankBuffer(s), nullptr) << s;
    for (int k = 0; k <= 12; ++k) EXPECT_TRUE(playsSound(k, 0)) << k;
    for (int k = 13; k <= 25; ++k) EXPECT_TRUE(playsSound(k, 1)) << k;
    for (int k = 26; k < KeyCount; ++k) EXPECT_TRUE(playsSound(k, k - 24)) << k;
    EXPECT_TRUE(callsStartingWith("dialog").empty());
}

TEST_F(LoadingTheSoundBank, APathTooLongForThePathAreaIsSkippedNotCut) {
    // Directory, backslash and name pass 339 characters. A valid sound waits
    // at the path the cut would give.
    std::string parent = files.folder + "/" + std::string(120, 'p');
    ASSERT_LT(parent.size(), 200u);
    mkdir(parent.c_str(), 0700);
    struct RemoveAtEnd {
        std::string folder;
        ~RemoveAtEnd() { rmdir(folder.c_str()); }
    } removeParent{parent};
    std::string directory = parent + "/" + std::string(250 - parent.size() - 1, 'd');
    setSoundDirectory(directory);
    ASSERT_EQ(std::string(soundDirectory), directory);
    std::string name = std::string(120, 'n') + ".wav";
    std::string fullPath = directory + "\\" + name;
    files.writeAt(fullPath.substr(0, 339), simpleWave(countingBytes(4)));
    fakeSoundList.entries.push_back(name);
    loadSoundBank();
    EXPECT_EQ(soundBank.soundBuffers[0], nullptr);
    EXPECT_TRUE(callsStartingWith("device").empty());
    std::remove(fullPath.substr(0, 339).c_str());
}

TEST_F(LoadingAFolderAgain, LoadingTheFolderAgainWhileKeysSoundStopsThemBeforeAnyReleaseAndLeavesTogglesIdle) {
    fakeSoundFolder.existingFolders = {soundDirectory};
    fakeSoundFolder.soundsInFolder = fakeSoundList.entries;
    KeySlot& toggle = keyBank.slots[27];
    toggle.triggerMode = ToggleStopRunning;
    voiceOf(27)->playing = true;
    keyBank.slots[13].muted = 1;  // finishing its pass, muted with Alt + Ctrl
    keyBank.finishing[13] = 1;
    voiceOf(13)->playing = true;
    FakeVoice* oldToggle = voiceOf(27);
    FakeVoice* oldFinishing = voiceOf(13);

    ASSERT_TRUE(loadSoundDirectory());

    auto position = [](const std::string& call) { return std::find(callLog.begin(), callLog.end(), call); };
    auto firstRelease = std::find_if(callLog.begin(), callLog.end(), [](const std::string& call) {
        return call.size() > 8 && call.compare(call.size() - 8, 8, " Release") == 0;
    });
    ASSERT_NE(firstRelease, callLog.end());
    EXPECT_LT(position(oldToggle->name + " Stop"), firstRelease) << "the latched key was released still sounding";
    EXPECT_LT(position(oldFinishing->name + " Stop"), firstRelease) << "the finishing key was released still sounding";
    EXPECT_TRUE(oldToggle->released);
    EXPECT_EQ(toggle.triggerMode, ToggleStop) << "the next press must start the key again, not stop it";
    EXPECT_EQ(keyBank.finishing[13], 0);
    EXPECT_EQ(keyBank.slots[13].muted, 0);
    EXPECT_TRUE(playsSound(27, 3));
    EXPECT_FALSE(voiceOf(27)->released);
    EXPECT_FALSE(voiceOf(27)->playing);
}

TEST_F(LoadingSoundsForTheLowLatencyOutput, KeysPlayTheirSoundsAndARefusedFormatGivesTheLoadMessage) {
    using namespace wavetest;
    // Sound 0: 24-bit stereo at 44100, a steady left 0.5 and right -0.25.
    Bytes samples;
    for (int n = 0; n < 4410; ++n) {
        for (uint8_t byte : {0x00, 0x00, 0x40, 0x00, 0x00, 0xE0}) samples.push_back(byte);
    }
    addSound("a.wav", riffWave(concat({chunk("fmt ", formatFields(2, 44100, 24)), chunk("data", samples)})));
    std::string refused =
        addSound("b.wav", riffWave(concat({chunk("fmt ", formatFields(1, 44100, 4, 2)), chunk("data", Bytes(64))})));
    loadSoundBank();
    EXPECT_EQ(callsStartingWith("dialog"), (Calls{"dialog message Could not load sound:\n" + refused}));
    EXPECT_EQ(keyBank.slots[13].voice, nullptr);  // the Q row plays sound 1
    // The grave-accent key: note 48 (half speed), volume 100, pan 50 (50 dB off the right).
    keyDown(0);
    Stereo out = renderFrames(mixer, 4410);
    EXPECT_NEAR(20.0 * std::log10(out.left[1000] / 0.5), -8.90, 0.01);
    EXPECT_NEAR(20.0 * std::log10(-out.right[1000] / 0.25), -8.90 - 50.0, 0.01);
    EXPECT_TRUE(isKeyPlaying(0));
    keyUp(0);  // hold-and-stop: silent once the stop has faded
    EXPECT_FALSE(isKeyPlaying(0));
    out = renderFrames(mixer, mixer.rampFrames + 1);
    EXPECT_EQ(out.left[mixer.rampFrames], 0.0f);
}

}  // namespace

namespace {

// Every key of every bank plays list entry 0, but the keys given.
void giveEveryKeyTheFirstSound() {
    for (int b = 0; b < BankCount; ++b)
        for (KeySlot& slot : bankOf(b).slots) slot.soundIndex = 0;
}

Bytes aiffTone(int frames) {
    using namespace aifftest;
    Bytes samples;
    for (int i = 0; i < frames; ++i) appendBe16(samples, static_cast<uint16_t>(i * 64));
    return form("AIFF", concat({commonChunk(1, static_cast<uint32_t>(frames), 16), soundChunk(samples)}));
}

class DecodingInTheBackground : public SoundFilesFixture {};

TEST_F(DecodingInTheBackground, OnlyAUsedSoundIsDecodedAndItsKeyIgnoresPressesUntilItIsLoaded) {
    addWaves(1);
    addSound("tone.aif", aiffTone(100));
    addSound("unused.aif", aiffTone(50));
    giveEveryKeyTheFirstSound();
    keyBank.slots[5].soundIndex = 1;
    loadSoundBank();
    EXPECT_EQ(soundState({false, 1}), SoundState::Loading);
    EXPECT_EQ(soundState({false, 2}), SoundState::Waiting);
    EXPECT_TRUE(isKeySoundLoading(keyBank.slots[5]));
    keyDown(5);
    EXPECT_EQ(voiceOf(5), nullptr);
    callLog.clear();
    takeSoundsOnceDecoded(1);
    ASSERT_NE(bankBuffer(1), nullptr);
    EXPECT_EQ(bankBuffer(1)->memory.size(), 201u);  // 100 frames of 16 bits, and the extra byte
    EXPECT_TRUE(playsSound(5, 1));
    EXPECT_FALSE(isKeySoundLoading(keyBank.slots[5]));
    EXPECT_EQ(soundBank.soundBuffers[2], nullptr);  // no key uses it: no memory
    EXPECT_NE(std::find(callLog.begin(), callLog.end(), "panel redrawKeyCap 5"), callLog.end());
}

TEST_F(DecodingInTheBackground, FailuresAreSaidOnceAfterTheLoadNamingAFewAndNoneWhilePlaying) {
    addWaves(1);
    for (const char* name : {"a.aif", "b.aif", "c.aif", "d.aif", "e.aif"}) addSound(name, Bytes{'j', 'u', 'n', 'k'});
    giveEveryKeyTheFirstSound();
    for (int k = 0; k < 5; ++k) keyBank.slots[k].soundIndex = static_cast<int16_t>(k + 1);
    keyBank.slots[6].ownFile = ownFileNumber(files.folder + "/gone.aif");
    loadSoundBank();
    takeSoundsOnceDecoded(6);
    std::vector<std::string> messages = callsStartingWith("dialog message");
    ASSERT_EQ(messages.size(), 1u);
    const std::string& text = messages[0];
    EXPECT_NE(text.find("These sound files were not found:\ngone.aif"), std::string::npos);
    EXPECT_NE(text.find("These sounds could not be played:\n"), std::string::npos);
    EXPECT_NE(text.find("\na.aif (AIFF)\nb.aif (AIFF)\nc.aif (AIFF)\nand 2 more."), std::string::npos);
    takeFinishedSounds();
    EXPECT_EQ(callsStartingWith("dialog message").size(), 1u);
}

}  // namespace
