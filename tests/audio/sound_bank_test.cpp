// Loading one sound file into a bank buffer: the buffer the device is asked
// for, the bytes copied into it, and the files and failures that leave the
// entry empty.
#include "audio/sound_bank.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "flows/sound_loading.h"
#include "keys/key_bank.h"
#include "support/sound_files_fixture.h"
#include "support/wave_bytes.h"

using namespace wavetest;
using Calls = std::vector<std::string>;

namespace {

class LoadingSoundFiles : public SoundFilesFixture {};

TEST_F(LoadingSoundFiles, ASoundIsLoadedIntoAStaticBufferOneByteLongerThanItsData) {
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

TEST_F(LoadingSoundFiles, AFileThatIsNotAWaveLeavesItsEntryEmptyWithoutAMessage) {
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

TEST_F(LoadingSoundFiles, AFormatTheDeviceRefusesIsReportedOnceWithItsPath) {
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

TEST_F(LoadingSoundFiles, DataAnnouncingMoreBytesThanTheFileHoldsMakesNoBuffer) {
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

TEST_F(LoadingSoundFiles, ABufferThatCannotBeLockedIsDroppedSoNoKeyPlaysIt) {
    addWaves(1);
    fakeAudio.device.newBufferLockResult = static_cast<SoundResult>(0x88780064u);
    loadSoundBank();
    ASSERT_EQ(fakeAudio.device.buffers.size(), 1u);
    EXPECT_TRUE(fakeAudio.device.buffers[0]->released);
    EXPECT_EQ(soundBank.soundBuffers[0], nullptr);
    EXPECT_EQ(voiceOf(0), nullptr);
    EXPECT_TRUE(callsStartingWith("device DuplicateSoundBuffer").empty());
}

TEST_F(LoadingSoundFiles, WithoutADeviceLoadingMakesNothingAndTouchesNothing) {
    addWaves(3);
    audioDevice = nullptr;
    loadSoundBank();
    EXPECT_EQ(soundBank.soundCount, 3);
    EXPECT_EQ(soundBank.soundBuffers, (std::vector<Voice*>{nullptr, nullptr, nullptr}));
    for (const KeySlot& slot : keyBank.slots) EXPECT_EQ(slot.voice, nullptr);
    EXPECT_TRUE(callLog.empty());
}

}  // namespace
