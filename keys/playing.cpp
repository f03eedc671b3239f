#include "keys/playing.h"

#include "audio/voice.h"
#include "base/input.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/key_display.h"
#include "keys/key_volume.h"
#include "keys/pitch_volume.h"

namespace {

void writeLevel(Voice* voice, int level) {
    if (level <= 0) voice->SetVolume(level);  // the device refuses levels above 0
}

void restartVoice(int key) {
    KeySlot& slot = keyBank.slots[key];
    Voice* voice = slot.voice;
    voice->Stop();
    voice->SetCurrentPosition(0);
    voice->SetFrequency(keyFrequency(slot.note, slot.fineTune));
    voice->SetPan(panPosition(slot.pan));
    if (voice->Play(0, 0, DSBPLAY_LOOPING) == DSERR_BUFFERLOST) {
        // A restored buffer is started once through, without looping.
        if (voice->Restore() == DS_OK) voice->Play(0, 0, 0);
    }
    // One step above the target first, then the target: a new press always
    // sounds at the key's volume, muted or not.
    int level = keyLevel(key, slot.volume);
    writeLevel(voice, level + 1);
    writeLevel(voice, level);
}

bool isVoicePlaying(Voice* voice) {
    if (!voice) return false;
    uint32_t status = 0;
    return voice->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING) != 0;
}

// A key of a bank not shown changes without a word: its cap is not on the panel.
struct BankKey {
    KeyBank& bank;
    int key;
    bool shown;
    KeySlot& slot() const { return bank.slots[key]; }
};

void letVoiceFinish(const BankKey& at) {
    if (!isVoicePlaying(at.slot().voice)) return;
    at.bank.finishing[at.key] = 1;
    at.slot().voice->Play(0, 0, 0);
    if (at.shown) redrawKeyCap(at.key);
}

// With a fade-out the key sounds on, lit, until its fade has ended: the
// poll of finishing keys puts it back then.
void stopVoice(const BankKey& at) {
    KeySlot& slot = at.slot();
    if (slot.fadeOutMilliseconds > 0 && isVoicePlaying(slot.voice)) {
        slot.voice->FadeOut();
        at.bank.finishing[at.key] = 1;
        if (at.shown) redrawKeyCap(at.key);
        return;
    }
    slot.voice->Stop();
    if (!at.shown) {
        slot.muted = 0;
        return;
    }
    clearMuteFlag(at.key);
    redrawKeyCap(at.key);
}

void release(const BankKey& at) {
    if (!at.slot().voice) return;
    switch (at.slot().triggerMode) {
    case HoldFinish:
    case ToggleFinish:
        letVoiceFinish(at);
        break;
    case HoldStop:
    case ToggleStop:
        stopVoice(at);
        break;
    default:
        break;  // running toggles and unknown codes ignore the release
    }
}

// Kill All in a bank not shown: what it does to the shown one, unseen.
void silenceHiddenBank(KeyBank& bank) {
    for (int k = 0; k < KeyCount; ++k) {
        KeySlot& slot = bank.slots[k];
        if (!slot.voice) continue;
        slot.voice->Stop();
        slot.muted = 0;
        setIdleTriggerMode(slot);
        bank.finishing[k] = 0;
    }
}

void pollHiddenBank(KeyBank& bank) {
    for (int k = 0; k < KeyCount; ++k) {
        if (bank.finishing[k] == 1 && !isVoicePlaying(bank.slots[k].voice)) {
            bank.slots[k].muted = 0;
            bank.finishing[k] = 0;
        }
    }
}

bool isKeySounding(int key) {
    return isKeyPlaying(key) || keyBank.finishing[key] || keyBank.slots[key].triggerMode == ToggleStopRunning ||
           keyBank.slots[key].triggerMode == ToggleFinishRunning;
}

// A key that starts stops the other sounding keys of its choke group at once
// (the mixer ramps them out without a click) and puts them back to idle.
void chokeOthers(int key) {
    int group = keyBank.slots[key].chokeGroup;
    if (group == 0) return;
    for (int k = 0; k < KeyCount; ++k) {
        KeySlot& other = keyBank.slots[k];
        if (k == key || other.chokeGroup != group || !other.voice || !isKeySounding(k)) continue;
        other.voice->Stop();
        setIdleTriggerMode(other);
        keyBank.finishing[k] = 0;
        clearMuteFlag(k);
        redrawKeyCap(k);
    }
}

}  // namespace

bool isKeyPlaying(int key) { return isVoicePlaying(keyBank.slots[key].voice); }

void keyDown(int key) {
    if (!keyBank.slots[key].voice) return;
    if (isAltDown()) {
        muteKey(key);
        return;
    }
    if (keyBank.midiHolds[key] == 0) pressKey(key, MaxVelocity);
}

void keyUp(int key) {
    if (!keyBank.slots[key].voice) return;
    if (isAltDown()) {
        if (!isCtrlDown()) unmuteKey(key);
        return;
    }
    if (keyBank.midiHolds[key] == 0) releaseKey(key);
}

void keyUpElsewhere(int key) {
    if (!keyBank.slots[key].voice) return;
    if (keyBank.midiHolds[key] == 0) releaseKey(key);
    // A held key's mute is Alt's, which the key-up would have ended; a stopped
    // key is unmuted already.
    if (keyBank.slots[key].muted) unmuteKey(key);
}

void pressKey(int key, int velocity) {
    KeySlot& slot = keyBank.slots[key];
    if (!slot.voice) return;
    if (slot.triggerMode == ToggleFinishRunning || slot.triggerMode == ToggleStopRunning) {
        setIdleTriggerMode(slot);
        releaseKey(key);
        return;
    }
    keyBank.pressAttenuation[key] = static_cast<int16_t>(velocityAttenuation(velocity));
    chokeOthers(key);
    restartVoice(key);
    if (slot.triggerMode == ToggleFinish) slot.triggerMode = ToggleFinishRunning;
    else if (slot.triggerMode == ToggleStop) slot.triggerMode = ToggleStopRunning;
    redrawKeyCap(key);
}

void releaseKey(int key) { release({keyBank, key, true}); }

void releaseKeyOfBank(int bank, int key) {
    if (!isBankIndex(bank)) return;
    release({bankOf(bank), key, bank == shownBank});
}

void muteKey(int key) {
    if (isKeyPlaying(key)) setVoiceVolume(key, 0);
    keyBank.slots[key].muted = 1;
    drawMuteButton();
    redrawKeyCap(key);
}

void unmuteKey(int key) {
    if (isKeyPlaying(key)) applyKeyVolume(key);
    keyBank.slots[key].muted = 0;
    redrawKeyCap(key);
    drawMuteButton();
}

void clearMuteFlag(int key) {
    keyBank.slots[key].muted = 0;
    drawMuteButton();
}

void muteButton(int key) {
    muteKey(key);
    while (isLeftButtonDown()) waitBeforeNextPoll();
    if (!isCtrlDown()) unmuteKey(key);
}

void killAllSounds() {
    forgetMidiHolds();
    for (int b = 0; b < BankCount; ++b)
        if (b != shownBank) silenceHiddenBank(bankOf(b));
    for (int k = 0; k < KeyCount; ++k) {
        KeySlot& slot = keyBank.slots[k];
        if (!slot.voice) continue;
        unmuteKey(k);
        slot.voice->Stop();
        setIdleTriggerMode(slot);
        keyBank.finishing[k] = 0;
        redrawKeyCap(k);
    }
}

bool anyKeyFinishing() {
    for (int b = 0; b < BankCount; ++b)
        for (uint8_t finishing : bankOf(b).finishing)
            if (finishing) return true;
    return false;
}

void pollFinishingKeys() {
    for (int b = 0; b < BankCount; ++b)
        if (b != shownBank) pollHiddenBank(bankOf(b));
    for (int k = 0; k < KeyCount; ++k) {
        if (keyBank.finishing[k] == 1 && !isKeyPlaying(k)) {
            clearMuteFlag(k);
            redrawKeyCap(k);
            keyBank.finishing[k] = 0;
        }
    }
}
