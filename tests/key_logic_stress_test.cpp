// Heavy playing and editing in a random order: after every event the key bank
// must still make sense. The seed is printed and can be set with
// QUILLPAD_STRESS_SEED to replay a failure; QUILLPAD_STRESS_EVENTS sets how many.
// It drives the whole core at once, so it mirrors no one source file and sits
// at the top of tests/ rather than in a folder of the code.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <gtest/gtest.h>
#include <random>
#include <string>

#include "audio/sound_bank.h"
#include "edit/key_clipboard.h"
#include "edit/undo.h"
#include "fakes/fake_setup_storage.h"
#include "fakes/fake_sound_folder.h"
#include "fakes/fake_sound_list_window.h"
#include "fakes/fake_voice.h"
#include "flows/setup_commands.h"
#include "flows/sound_loading.h"
#include "flows/start_up.h"
#include "keys/key_selection.h"
#include "keys/keyboard_map.h"
#include "keys/playing.h"
#include "library/sound_directory.h"
#include "panel/editing.h"
#include "setup/setup_file.h"
#include "support/program_test.h"
#include "support/temp_files.h"
#include "support/wave_bytes.h"

using namespace wavetest;

namespace {

constexpr int SoundCount = 8;  // keys whose sound index is 8 or more have no voice
const char* const SetupPath = "C:\\Setups\\stress.qpd";

unsigned long settingFromEnvironment(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

class KeyLogicStress : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();
        setSoundDirectory(files.folder + "/kit");
        fakeSoundFolder.existingFolders = {soundDirectory};
        for (int i = 0; i < SoundCount; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.wav", i);
            files.writeAt(std::string(soundDirectory) + "\\" + name, simpleWave(countingBytes(16 + i)));
            fakeSoundFolder.soundsInFolder.push_back(name);
        }
        ASSERT_TRUE(loadSoundDirectory());
    }

    int below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    bool chance(int percent) { return below(100) < percent; }

    FakeVoice* voiceOf(int key) { return static_cast<FakeVoice*>(keyBank.slots[key].voice); }

    void holdButtonFor(int polls) { fakeInput.leftButtonPolls = polls; }

    // One random event; returns what it was, for the failure message.
    std::string randomEvent() {
        int key = below(KeyCount);
        fakeInput.alt = chance(15);
        fakeInput.ctrl = chance(15);
        switch (below(20)) {
        case 0:
        case 1:
        case 2:
        case 3:
            keyDown(key);
            return "key down " + std::to_string(key);
        case 4:
        case 5:
        case 6:
            keyUp(key);
            return "key up " + std::to_string(key);
        case 7:
            keyDown(key);
            keyDown(key);  // held: the keyboard repeats it
            return "auto-repeat " + std::to_string(key);
        case 8:
            if (FakeVoice* voice = voiceOf(key)) voice->playing = false;  // a pass ran out by itself
            return "voice of " + std::to_string(key) + " ends";
        case 9:
            pollFinishingKeys();
            return "idle poll";
        case 10:
            killAllSounds();
            return "kill all";
        case 11:
            keyBank.selectedKey = static_cast<int16_t>(key);
            fakeSoundList.selection = below(SoundCount + 3) - 1;  // none, a sound, or past the list
            assignSelectedSoundFromList();
            return "sound " + std::to_string(fakeSoundList.selection) + " to " + std::to_string(key);
        case 12: {
            selectKey(key);
            holdButtonFor(below(600));
            auto button = static_cast<ValueButton>(below(3));
            int field = below(3);
            if (field == 0) editNote(button);
            else if (field == 1) editFineTune(button);
            else editVolume(button);
            return "edit field " + std::to_string(field) + " of " + std::to_string(key);
        }
        case 13: {
            const int16_t codes[] = {HoldStop, ToggleStop, HoldFinish, ToggleFinish};
            selectKey(key);
            setTriggerModeFromPanel(codes[below(4)]);
            return "mode button on " + std::to_string(key);
        }
        case 14:
            stepMasterVolume(chance(50) ? MasterVolumeButton::Up : MasterVolumeButton::Down);
            holdButtonFor(below(50));
            fakeInput.pointerX = below(800) - 400;
            dragPan(keyBank.slots[keyBank.selectedKey].pan, 0);
            return "master volume and pan";
        case 15:
            holdButtonFor(below(20));
            muteButton(keyBank.selectedKey);
            return "mute button";
        case 16:
            if (chance(50)) undoRedo();
            else if (chance(50)) copyKey();
            else pasteKey();
            return "undo, copy or paste";
        case 17:
            fakeSetupStorage.files[SetupPath] = composeSetupBytes();
            openSetupFile(SetupPath);
            return "open a setup";
        case 18:
            loadSoundDirectory();
            return "import the folder";
        default:
            // Now and then the keyboard's repeat of a key already down.
            onKeyDownMessage(static_cast<unsigned>(below(256)), chance(30) ? 0x40000001u : 1u);
            onKeyUpMessage(static_cast<unsigned>(below(256)));
            return "any virtual key";
        }
    }

    ::testing::AssertionResult keyBankIsConsistent() {
        for (int k = 0; k < KeyCount; ++k) {
            const KeySlot& key = keyBank.slots[k];
            if (key.triggerMode < HoldFinish || key.triggerMode > ToggleFinish)
                return ::testing::AssertionFailure() << "key " << k << " has mode " << key.triggerMode;
            if (key.muted != 0 && key.muted != 1)
                return ::testing::AssertionFailure() << "key " << k << " has muted " << key.muted;
            if (keyBank.finishing[k] > 1)
                return ::testing::AssertionFailure() << "key " << k << " has finishing " << +keyBank.finishing[k];
            if (keyBank.finishing[k] && !key.voice)
                return ::testing::AssertionFailure() << "key " << k << " is finishing without a voice";
            bool running = key.triggerMode == ToggleStopRunning || key.triggerMode == ToggleFinishRunning;
            if (running && !key.voice)
                return ::testing::AssertionFailure() << "key " << k << " is latched without a voice";
            if (key.voice && voiceOf(k)->released)
                return ::testing::AssertionFailure() << "key " << k << " holds a released voice";
        }
        if (keyBank.selectedKey < 0 || keyBank.selectedKey >= KeyCount)
            return ::testing::AssertionFailure() << "selected key " << keyBank.selectedKey;
        if (masterVolume < 0 || masterVolume > 10)
            return ::testing::AssertionFailure() << "master volume " << masterVolume;
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult everythingIsSilentAndIdle() {
        for (int k = 0; k < KeyCount; ++k) {
            const KeySlot& key = keyBank.slots[k];
            if (key.voice && voiceOf(k)->playing)
                return ::testing::AssertionFailure() << "key " << k << " still plays after Kill All";
            if (key.triggerMode == ToggleStopRunning || key.triggerMode == ToggleFinishRunning)
                return ::testing::AssertionFailure() << "key " << k << " is still latched after Kill All";
            if (keyBank.finishing[k]) return ::testing::AssertionFailure() << "key " << k << " is still finishing";
        }
        return ::testing::AssertionSuccess();
    }

    TempFiles files;
    std::mt19937 random;
};

TEST_F(KeyLogicStress, RandomPlayingAndEditingKeepTheKeyBankConsistent) {
    unsigned long seed = settingFromEnvironment("QUILLPAD_STRESS_SEED", 20261207);
    unsigned long events = settingFromEnvironment("QUILLPAD_STRESS_EVENTS", 100000);
    std::printf("key logic stress: seed %lu, %lu events (QUILLPAD_STRESS_SEED replays)\n", seed, events);
    random.seed(static_cast<std::mt19937::result_type>(seed));
    std::deque<std::string> recent;  // the events before a failure, to read what led to it
    auto history = [&] {
        std::string text;
        for (const std::string& what : recent) text += "\n  " + what;
        return text;
    };
    for (unsigned long event = 0; event < events; ++event) {
        std::string what = randomEvent();
        recent.push_back(std::to_string(event) + ": " + what);
        if (recent.size() > 30) recent.pop_front();
        callLog.clear();
        ASSERT_TRUE(keyBankIsConsistent()) << "(seed " << seed << ") after" << history();
        if (what == "kill all") {
            ASSERT_TRUE(everythingIsSilentAndIdle()) << "(seed " << seed << ") after" << history();
        }
    }
}

}  // namespace
