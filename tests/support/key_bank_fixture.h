// A key bank fresh from start-up for each test, with fake voices handed to the
// keys a test plays, and helpers for the voice calls a key press makes.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_input.h"
#include "fakes/fake_voice.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "keys/pitch_volume.h"
#include "keys/playing.h"
#include "support/program_test.h"

using Calls = std::vector<std::string>;

inline FakeVoice& voiceOf(int key) { return *static_cast<FakeVoice*>(keyBank.slots[key].voice); }

// What a press that starts key k makes of its voice, in order.
inline Calls restartCalls(int key, long rate, int pan, int level) {
    std::string v = "voice" + std::to_string(key) + " ";
    return {v + "Stop",
            v + "SetCurrentPosition 0",
            v + "SetFrequency " + std::to_string(rate),
            v + "SetPan " + std::to_string(pan),
            v + "Play 1",
            v + "SetVolume " + std::to_string(level + 1),
            v + "SetVolume " + std::to_string(level)};
}

inline Calls joined(Calls first, const Calls& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The settings fields in their order, for comparing whole keys.
inline std::vector<int> fieldsOf(const KeySettings& s) {
    return {s.extraA,
            s.reservedByte1,
            s.reservedByte2,
            s.note,
            s.triggerMode,
            s.soundIndex,
            s.volume,
            s.pan,
            s.fineTune,
            s.muted,
            s.extraB,
            s.extraC,
            s.extraD,
            s.chokeGroup,
            s.fadeInMilliseconds,
            s.fadeOutMilliseconds,
            s.startMilliseconds,
            s.endMilliseconds};
}

inline std::string capOf(int key) { return "panel redrawKeyCap " + std::to_string(key); }
inline std::string voiceCall(int key, const std::string& call) { return "voice" + std::to_string(key) + " " + call; }

class KeyBankFixture : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();
        callLog.clear();
    }

    // Gives key k a voice named "voice<k>" and returns it.
    FakeVoice& giveVoice(int key) {
        voices.push_back(std::make_unique<FakeVoice>("voice" + std::to_string(key)));
        keyBank.slots[key].voice = voices.back().get();
        return *voices.back();
    }

    void giveEveryKeyAVoice() {
        for (int k = 0; k < KeyCount; ++k) giveVoice(k);
    }

    std::vector<std::unique_ptr<FakeVoice>> voices;
};
