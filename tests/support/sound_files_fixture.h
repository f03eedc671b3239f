// A sound folder of real WAV files under the test's own folder, listed as
// Import Sounds lists them, with the start-up keys and the fake device; and
// which bank buffer a key's voice was duplicated from.
#pragma once
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "audio/sound_bank.h"
#include "fakes/call_log.h"
#include "fakes/fake_decoding_events.h"
#include "fakes/fake_sound_list_window.h"
#include "fakes/fake_voice.h"
#include "flows/sound_loading.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "library/sound_directory.h"
#include "support/program_test.h"
#include "support/temp_files.h"
#include "support/wave_bytes.h"

class SoundFilesFixture : public ProgramTest {
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
    std::string addSound(const std::string& name, const wavetest::Bytes& bytes) {
        std::string path = std::string(soundDirectory) + "\\" + name;
        files.writeAt(path, bytes);
        fakeSoundList.entries.push_back(name);
        return path;
    }

    void addWaves(int count) {
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.wav", i + 1);
            addSound(name, wavetest::simpleWave(wavetest::countingBytes(8 + i)));
        }
    }

    // As the main window's message would come: once the decoding thread has
    // told of n sounds, every finished one is taken.
    static void takeSoundsOnceDecoded(int told) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (soundsDecodedTold < told) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "waited for " << told << " decoded sounds";
            std::this_thread::yield();
        }
        takeFinishedSounds();
    }

    static FakeVoice* bankBuffer(int sound) { return static_cast<FakeVoice*>(soundBank.soundBuffers.at(sound)); }
    static FakeVoice* voiceOf(int key) { return static_cast<FakeVoice*>(keyBank.slots[key].voice); }
    // True when key k holds a voice duplicated from the bank buffer of sound s.
    static bool playsSound(int key, int sound) {
        return voiceOf(key) && bankBuffer(sound) &&
               voiceOf(key)->name.rfind(bankBuffer(sound)->name + ".voice", 0) == 0;
    }

    wavetest::TempFiles files;
};

// Six sounds loaded into the bank, each key given its voice, and the call log cleared.
class SixSoundsFixture : public SoundFilesFixture {
protected:
    void SetUp() override {
        SoundFilesFixture::SetUp();
        addWaves(6);
        loadSoundBank();
        callLog.clear();
    }
};
