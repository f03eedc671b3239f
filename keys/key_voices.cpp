#include "keys/key_voices.h"

#include <cstddef>
#include <cstdint>

#include "audio/audio_device.h"
#include "audio/sound_bank.h"
#include "audio/voice.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/key_display.h"

namespace {

// The key's own part of the sound and its fades, where it has them. The
// result is ignored: a failed duplicate leaves the key without a voice, as a
// part that holds no frame does.
void giveVoice(KeySlot& slot, Voice* bankBuffer) {
    if (!bankBuffer || !audioDevice) return;
    Voice* duplicate = nullptr;
    bool part = slot.startMilliseconds != 0 || slot.endMilliseconds != 0;
    SoundResult made =
        part ? audioDevice->DuplicateSoundBufferPart(bankBuffer, static_cast<uint32_t>(slot.startMilliseconds),
                                                     static_cast<uint32_t>(slot.endMilliseconds), &duplicate)
             : audioDevice->DuplicateSoundBuffer(bankBuffer, &duplicate);
    if (made != DS_OK) return;
    slot.voice = duplicate;
    if (slot.fadeInMilliseconds != 0 || slot.fadeOutMilliseconds != 0)
        duplicate->SetFades(static_cast<uint32_t>(slot.fadeInMilliseconds),
                            static_cast<uint32_t>(slot.fadeOutMilliseconds));
}

}  // namespace

void giveKeysVoices() {
    for (int b = 0; b < BankCount; ++b) {
        for (KeySlot& slot : bankOf(b).slots) {
            if (!isSoundInBank(slot.soundIndex)) continue;
            releaseVoice(slot.voice);  // none after releaseAllSounds; never leak one
            giveVoice(slot, soundBank.soundBuffers[static_cast<size_t>(slot.soundIndex)]);
        }
    }
}

void releaseAllSounds() {
    releaseSoundBuffers();
    for (int b = 0; b < BankCount; ++b)
        for (KeySlot& slot : bankOf(b).slots) releaseVoice(slot.voice);
}

void assignSoundToSelectedKey(int soundIndex) {
    // Negative: no list selection. Past 16 bits the key could not hold it.
    if (soundIndex < 0 || soundIndex > INT16_MAX) return;
    int key = keyBank.selectedKey;
    if (key < 0 || key >= KeyCount) return;
    KeySlot& slot = keyBank.slots[key];
    slot.soundIndex = static_cast<int16_t>(soundIndex);
    if (!isSoundInBank(slot.soundIndex)) return;
    setIdleTriggerMode(slot);
    redrawKeyCap(key);
    releaseVoice(slot.voice);
    giveVoice(slot, soundBank.soundBuffers[static_cast<size_t>(soundIndex)]);
}
