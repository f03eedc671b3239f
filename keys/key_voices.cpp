#include "keys/key_voices.h"

#include <cstddef>
#include <cstdint>

#include "audio/audio_device.h"
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

bool sameSound(SoundRef a, SoundRef b) { return a.ownFile == b.ownFile && a.index == b.index; }

// A fresh voice when the sound is loaded; a sound no key needed before is
// asked for, and the key gets its voice when it comes.
void renewVoice(KeySlot& slot) {
    SoundRef sound = soundOfKey(slot);
    if (!isSoundKnown(sound)) return;
    releaseVoice(slot.voice);  // none after releaseAllSounds; never leak one
    needSound(sound);
    if (soundState(sound) == SoundState::Loaded) giveVoice(slot, bankBuffer(sound));
}

}  // namespace

void giveKeyItsSound(int key) {
    if (!isKeyIndex(key)) return;
    KeySlot& slot = keyBank.slots[key];
    SoundRef sound = soundOfKey(slot);
    if (!isSoundKnown(sound)) return;
    setIdleTriggerMode(slot);
    needSound(sound);
    redrawKeyCap(key);
    renewVoice(slot);
}

SoundRef soundOfKey(const KeySettings& key) {
    SoundRef sound;
    if (key.ownFile > 0) {
        sound.ownFile = true;
        sound.index = key.ownFile;
    } else {
        sound.index = key.soundIndex;
    }
    return sound;
}

bool isKeySoundLoading(const KeySettings& key) {
    SoundRef sound = soundOfKey(key);
    return isSoundKnown(sound) && soundState(sound) == SoundState::Loading;
}

void giveKeysVoices() {
    for (int b = 0; b < BankCount; ++b)
        for (KeySlot& slot : bankOf(b).slots) renewVoice(slot);
}

void giveOwnFilesVoices() {
    for (int b = 0; b < BankCount; ++b)
        for (KeySlot& slot : bankOf(b).slots)
            if (slot.ownFile > 0) renewVoice(slot);
}

void releaseAllSounds() {
    releaseSoundBuffers();
    for (int b = 0; b < BankCount; ++b)
        for (KeySlot& slot : bankOf(b).slots) releaseVoice(slot.voice);
}

void assignSoundToSelectedKey(int soundIndex) {
    // Negative: no list selection. Past 16 bits the key could not hold it.
    if (soundIndex < 0 || soundIndex > INT16_MAX) return;
    KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    slot->soundIndex = static_cast<int16_t>(soundIndex);
    slot->ownFile = 0;
    giveSelectedKeyItsSound();
}

void giveSelectedKeyItsSound() { giveKeyItsSound(keyBank.selectedKey); }

void giveKeyOwnFile(int key, const std::string& path) {
    if (!isKeyIndex(key)) return;
    int16_t number = ownFileNumber(path);
    if (number == 0) return;
    KeySlot& slot = keyBank.slots[key];
    slot.ownFile = number;
    slot.soundIndex = -1;
    giveKeyItsSound(key);
}

void clearSelectedKeySound() {
    KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    slot->ownFile = 0;
    slot->soundIndex = -1;
    setIdleTriggerMode(*slot);
    releaseVoice(slot->voice);
    redrawKeyCap(keyBank.selectedKey);
}

void giveVoicesOfSound(SoundRef sound) {
    for (int b = 0; b < BankCount; ++b) {
        KeyBank& bank = bankOf(b);
        for (int k = 0; k < KeyCount; ++k) {
            KeySlot& slot = bank.slots[k];
            if (!sameSound(soundOfKey(slot), sound)) continue;
            if (!slot.voice) giveVoice(slot, bankBuffer(sound));
            if (&bank == &keyBank) redrawKeyCap(k);
        }
    }
}
