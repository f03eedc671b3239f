#include "keys/key_volume.h"

#include <algorithm>

#include "audio/voice.h"
#include "keys/key_bank.h"
#include "keys/pitch_volume.h"

int keyLevel(int key, int volume) {
    int level = volumeLevel(volume);
    if (level > 0) return level;
    return std::max(level + keyBank.pressAttenuation[key], SilentLevel);
}

void setVoiceVolume(int key, int volume) {
    Voice* voice = keyBank.slots[key].voice;
    if (!voice) return;
    int level = keyLevel(key, volume);
    // The device refuses a level above 0; not asking keeps the previous level
    // on every device alike.
    if (level > 0) return;
    voice->SetVolume(level);
}

void applyKeyVolume(int key) { setVoiceVolume(key, keyBank.slots[key].volume); }

void applyMasterVolume() {
    for (int k = 0; k < KeyCount; ++k)
        if (keyBank.slots[k].muted == 0) applyKeyVolume(k);
}
