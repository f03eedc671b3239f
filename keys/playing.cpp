#include "keys/playing.h"

#include "audio/voice.h"
#include "base/input.h"
#include "keys/key_bank.h"
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

void letVoiceFinish(int key) {
    if (!isKeyPlaying(key)) return;
    keyBank.finishing[key] = 1;
    keyBank.slots[key].voice->Play(0, 0, 0);
    redrawKeyCap(key);
}

// With a fade-out the key sounds on, lit, until its fade has ended: the
// poll of finishing keys puts it back then.
void stopVoice(int key) {
    KeySlot& slot = keyBank.slots[key];
    if (slot.fadeOutMilliseconds > 0 && isKeyPlaying(key)) {
        slot.voice->FadeOut();
        keyBank.finishing[key] = 1;
        redrawKeyCap(key);
        return;
    }
    slot.voice->Stop();
    clearMuteFlag(key);
    redrawKeyCap(key);
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

bool isKeyPlaying(int key) {
    Voice* voice = keyBank.slots[key].voice;
    if (!voice) return false;
    uint32_t status = 0;
    return voice->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING) != 0;
}

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

void releaseKey(int key) {
    KeySlot& slot = keyBank.slots[key];
    if (!slot.voice) return;
    switch (slot.triggerMode) {
    case HoldFinish:
    case ToggleFinish:
        letVoiceFinish(key);
        break;
    case HoldStop:
    case ToggleStop:
        stopVoice(key);
        break;
    default:
        break;  // running toggles and unknown codes ignore the release
    }
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
    for (uint8_t finishing : keyBank.finishing)
        if (finishing) return true;
    return false;
}

void pollFinishingKeys() {
    for (int k = 0; k < KeyCount; ++k) {
        if (keyBank.finishing[k] == 1 && !isKeyPlaying(k)) {
            clearMuteFlag(k);
            redrawKeyCap(k);
            keyBank.finishing[k] = 0;
        }
    }
}
