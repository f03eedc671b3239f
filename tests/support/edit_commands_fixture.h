// The start-up key bank with a sound bank of plain fake buffers, edited as
// the user edits it: a key selected by a click on its cap, its note stepped up
// with the panel's button. Undo, Copy and Paste keep their own menu items.
#pragma once
#include <memory>
#include <string>

#include "audio/audio_device.h"
#include "audio/sound_bank.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_voice.h"
#include "keys/key_bank.h"
#include "panel/editing.h"
#include "panel/panel_actions.h"
#include "support/key_bank_fixture.h"

inline const std::string UndoText = "Undo\tCtrl+Z";
inline const std::string RedoText = "Redo\tCtrl+Z";
constexpr int UndoItem = 40005;
constexpr int PasteItem = 40007;

class EditCommands : public KeyBankFixture {
protected:
    // A loaded sound bank of count sounds whose buffers are named "sound<i>".
    void loadSounds(int count) {
        for (int i = 0; i < count; ++i) {
            fakeAudio.device.buffers.push_back(std::make_unique<FakeVoice>("sound" + std::to_string(i)));
            soundBank.soundBuffers.push_back(fakeAudio.device.buffers.back().get());
        }
        soundBank.soundCount = static_cast<int16_t>(count);
        for (KeySlot& slot : keyBank.slots)
            if (slot.soundIndex >= 0 && slot.soundIndex < count)
                audioDevice->DuplicateSoundBuffer(soundBank.soundBuffers[static_cast<size_t>(slot.soundIndex)],
                                                  &slot.voice);
        callLog.clear();
    }
    static bool playsSound(int key, int sound) {
        const Voice* voice = keyBank.slots[key].voice;
        return voice &&
               static_cast<const FakeVoice*>(voice)->name.rfind("sound" + std::to_string(sound) + ".voice", 0) == 0;
    }
    static void select(int key) { performPanelAction(6024 + key); }
    static void pressNoteUp() { editNote(ValueButton::Up); }
};
