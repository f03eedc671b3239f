#include "audio/sound_bank.h"

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "audio/audio_device.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_sound_folder.h"
#include "fakes/fake_sound_list_window.h"
#include "flows/sound_loading.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "keys/key_voices.h"
#include "library/sound_directory.h"
#include "library/sound_list_window.h"
#include "support/program_test.h"
#include "support/temp_files.h"
#include "support/wave_bytes.h"

using namespace wavetest;
using Calls = std::vector<std::string>;

namespace {

class SoundBankTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();  // start-up key settings; opens the fake device
        setSoundDirectory(files.folder + "/bank");
        callLog.clear();
    }

    // Writes the file where the bank will look for list entry name, the
    // directory and the name joined by a backslash as on Windows (here one
    // file name holding a backslash), and adds the entry to the list.
    std::string addSound(const std::string& name, const Bytes& bytes) {
        std::string path = std::string(soundDirectory) + "\\" + name;
        files.writeAt(path, bytes);
        fakeSoundList.entries.push_back(name);
        return path;
    }

    void addWaves(int count) {
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.wav", i + 1);
            addSound(name, simpleWave(countingBytes(8 + i)));
        }
    }

    static FakeVoice* bankBuffer(int sound) { return static_cast<FakeVoice*>(soundBank.soundBuffers.at(sound)); }
    static FakeVoice* voiceOf(int key) { return static_cast<FakeVoice*>(keyBank.slots[key].voice); }
    // True when key k holds a voice duplicated from the bank buffer of sound s.
    static bool playsSound(int key, int sound) {
        return voiceOf(key) && bankBuffer(sound) &&
               voiceOf(key)->name.rfind(bankBuffer(sound)->name + ".voice", 0) == 0;
    }

    TempFiles files;
};

TEST_F(SoundBankTest, ThirtySoundsGiveEveryKeyAVoiceOfItsStartUpSound) {
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

TEST_F(SoundBankTest, FiveSoundsLeaveKeysPastTheListWithoutAVoice) {
    addWaves(5);
    keyBank.slots[0].soundIndex = -1;
    keyBank.slots[1].soundIndex = 4;
    loadSoundBank();
    EXPECT_EQ(voiceOf(0), nullptr);
    EXPECT_TRUE(playsSound(1, 4));
    for (int k = 2; k <= 25; ++k) EXPECT_NE(voiceOf(k), nullptr) << k;
    for (int k = 26; k <= 28; ++k) EXPECT_TRUE(playsSound(k, k - 24)) << k;
    for (int k = 29; k < KeyCount; ++k) EXPECT_EQ(voiceOf(k), nullptr) << k;
    EXPECT_EQ(callsStartingWith("device DuplicateSoundBuffer").size(), 25u + 3u);
}

TEST_F(SoundBankTest, ASoundIsLoadedIntoAStaticBufferOneByteLongerThanItsData) {
    Bytes samples = countingBytes(1000);
    addSound("01 tone.wav", riffWave(concat({pcmFormatChunk(2, 44100), chunk("data", samples)})));
    loadSoundBank();
    EXPECT_EQ(callLog[0], "device CreateSoundBuffer 1001");
    EXPECT_EQ(fakeAudio.device.lastFlags, 0x80E2u);
    EXPECT_EQ(fakeAudio.device.lastFormatTag, 1u);
    EXPECT_EQ(Calls(callLog.begin() + 1, callLog.begin() + 3), (Calls{"buffer0 Lock 2", "buffer0 Unlock 1001"}));
    const Bytes& memory = bankBuffer(0)->memory;
    ASSERT_EQ(memory.size(), 1001u);
    EXPECT_EQ(Bytes(memory.begin(), memory.begin() + 1000), samples);
    EXPECT_EQ(memory[1000], 0);  // the extra byte is not written
}

TEST_F(SoundBankTest, AFileThatIsNotAWaveLeavesItsEntryEmptyWithoutAMessage) {
    addWaves(2);
    Bytes text;
    appendText(text, "just some text, not a sound at all\n");
    addSound("03 notes.wav", text);
    addSound("04.wav", simpleWave(countingBytes(4)));
    keyBank.slots[30].soundIndex = 2;
    loadSoundBank();
    EXPECT_EQ(soundBank.soundBuffers[2], nullptr);
    EXPECT_EQ(voiceOf(26), nullptr);  // start-up sound 2
    EXPECT_EQ(voiceOf(30), nullptr);
    EXPECT_TRUE(playsSound(27, 3));
    EXPECT_EQ(callsStartingWith("device CreateSoundBuffer").size(), 3u);
    EXPECT_TRUE(callsStartingWith("dialog").empty());
}

TEST_F(SoundBankTest, AFormatTheDeviceRefusesIsReportedOnceWithItsPath) {
    addWaves(2);
    Bytes compressed = formatFields(1, 22050, 4, 0x55);
    appendLe16(compressed, 0);
    std::string path =
        addSound("03 compressed.wav", riffWave(concat({chunk("fmt ", compressed), chunk("data", countingBytes(9))})));
    fakeAudio.device.refusedFormatTag = 0x55;
    loadSoundBank();
    EXPECT_EQ(callsStartingWith("dialog"), (Calls{"dialog message Could not load sound:\n" + path}));
    EXPECT_EQ(soundBank.soundBuffers[2], nullptr);
    EXPECT_EQ(voiceOf(26), nullptr);
    EXPECT_NE(bankBuffer(1), nullptr);
}

TEST_F(SoundBankTest, DataAnnouncingMoreBytesThanTheFileHoldsMakesNoBuffer) {
    Bytes cut = simpleWave(countingBytes(400));
    cut.resize(cut.size() - 100);
    addSound("01 cut.wav", cut);
    Bytes huge = riffWave(concat({pcmFormatChunk(), chunk("data", countingBytes(16), 0xFFFFFFFF)}));
    addSound("02 huge.wav", huge);
    loadSoundBank();
    EXPECT_TRUE(callsStartingWith("device CreateSoundBuffer").empty());
    EXPECT_EQ(soundBank.soundBuffers, (std::vector<Voice*>{nullptr, nullptr}));
    EXPECT_EQ(voiceOf(0), nullptr);
    EXPECT_TRUE(callsStartingWith("dialog").empty());
}

TEST_F(SoundBankTest, ABufferThatCannotBeLockedIsDroppedSoNoKeyPlaysIt) {
    addWaves(1);
    fakeAudio.device.newBufferLockResult = static_cast<SoundResult>(0x88780064u);
    loadSoundBank();
    ASSERT_EQ(fakeAudio.device.buffers.size(), 1u);
    EXPECT_TRUE(fakeAudio.device.buffers[0]->released);
    EXPECT_EQ(soundBank.soundBuffers[0], nullptr);
    EXPECT_EQ(voiceOf(0), nullptr);
    EXPECT_TRUE(callsStartingWith("device DuplicateSoundBuffer").empty());
}

TEST_F(SoundBankTest, WithoutADeviceLoadingMakesNothingAndTouchesNothing) {
    addWaves(3);
    audioDevice = nullptr;
    loadSoundBank();
    EXPECT_EQ(soundBank.soundCount, 3);
    EXPECT_EQ(soundBank.soundBuffers, (std::vector<Voice*>{nullptr, nullptr, nullptr}));
    for (const KeySlot& slot : keyBank.slots) EXPECT_EQ(slot.voice, nullptr);
    EXPECT_TRUE(callLog.empty());
}

TEST_F(SoundBankTest, APathTooLongForThePathAreaIsSkippedNotCut) {
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

TEST_F(SoundBankTest, ReleasingAllSoundsReleasesBuffersAndVoicesWithoutStoppingThem) {
    addWaves(23);
    loadSoundBank();
    voiceOf(5)->playing = true;
    callLog.clear();
    releaseAllSounds();
    for (const auto& buffer : fakeAudio.device.buffers) EXPECT_TRUE(buffer->released) << buffer->name;
    for (const Voice* entry : soundBank.soundBuffers) EXPECT_EQ(entry, nullptr);
    for (const KeySlot& slot : keyBank.slots) EXPECT_EQ(slot.voice, nullptr);
    EXPECT_EQ(callLog.size(), 23u + 47u);
    EXPECT_TRUE(callsStartingWith("buffer").size() == callLog.size());
    for (const std::string& call : callLog) EXPECT_EQ(call.substr(call.size() - 7), "Release");
    EXPECT_EQ(soundBank.soundCount, 23);
}

class AssignSoundTest : public SoundBankTest {
protected:
    void SetUp() override {
        SoundBankTest::SetUp();
        addWaves(6);
        loadSoundBank();
        callLog.clear();
    }
};

TEST_F(AssignSoundTest, ASoundingRunningToggleKeyFallsSilentAndGetsTheNewSoundIdle) {
    keyBank.selectedKey = 26;
    keyBank.slots[26].triggerMode = ToggleStopRunning;
    FakeVoice* old = voiceOf(26);
    old->playing = true;
    assignSoundToSelectedKey(4);
    EXPECT_EQ(keyBank.slots[26].soundIndex, 4);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleStop);
    EXPECT_EQ(callLog, (Calls{"panel redrawKeyCap 26", old->name + " Release",
                              "device DuplicateSoundBuffer " + bankBuffer(4)->name}));
    EXPECT_TRUE(old->released);
    EXPECT_TRUE(playsSound(26, 4));

    keyBank.slots[26].triggerMode = ToggleFinishRunning;
    assignSoundToSelectedKey(5);
    EXPECT_EQ(keyBank.slots[26].triggerMode, ToggleFinish);
}

TEST_F(AssignSoundTest, LoadingTheFolderAgainWhileKeysSoundStopsThemBeforeAnyReleaseAndLeavesTogglesIdle) {
    fakeSoundFolder.existingFolders = {soundDirectory};
    fakeSoundFolder.wavesInFolder = fakeSoundList.entries;
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

TEST_F(AssignSoundTest, AnIndexPastTheBankChangesOnlyTheSoundIndex) {
    keyBank.selectedKey = 3;
    keyBank.slots[3].triggerMode = ToggleStopRunning;
    Voice* old = keyBank.slots[3].voice;
    assignSoundToSelectedKey(6);
    EXPECT_EQ(keyBank.slots[3].soundIndex, 6);
    EXPECT_EQ(keyBank.slots[3].voice, old);
    EXPECT_EQ(keyBank.slots[3].triggerMode, ToggleStopRunning);
    EXPECT_TRUE(callLog.empty());
}

TEST_F(AssignSoundTest, NoSelectionOrAnIndexAKeyCannotHoldDoesNothing) {
    keyBank.selectedKey = 3;
    assignSoundToSelectedKey(NoSelection);
    assignSoundToSelectedKey(40000);
    EXPECT_EQ(keyBank.slots[3].soundIndex, 0);
    EXPECT_TRUE(callLog.empty());
}

TEST_F(AssignSoundTest, ASoundThatDidNotLoadLeavesTheKeyWithoutAVoice) {
    soundBank.soundBuffers[2]->Release();
    soundBank.soundBuffers[2] = nullptr;
    keyBank.selectedKey = 0;
    assignSoundToSelectedKey(2);
    EXPECT_EQ(keyBank.slots[0].soundIndex, 2);
    EXPECT_EQ(voiceOf(0), nullptr);
    EXPECT_TRUE(callsStartingWith("device").empty());
}

}  // namespace
