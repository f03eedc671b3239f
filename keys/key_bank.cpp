#include "keys/key_bank.h"

#include "audio/audio_device.h"
#include "keys/pitch_volume.h"
#include "keys/playing.h"
#include "panel/panel_redraw.h"

KeyBank keyBank;

namespace {

// Virtual-key codes in key-index order: number row, Q row, A row, Z row.
constexpr uint8_t VirtualKeyOfKey[KeyCount] = {
    192, 49,  50, 51, 52, 53, 54, 55, 56, 57, 48, 189, 187, 81, 87, 69, 82, 84, 89, 85, 73,  79,  80,  219,
    221, 220, 65, 83, 68, 70, 71, 72, 74, 75, 76, 186, 222, 90, 88, 67, 86, 66, 78, 77, 188, 190, 191,
};

struct KeyGroup {
    int firstKey, lastKey;
    int16_t soundIndexBase;  // sound index = base + key (group 3) or base (groups 1, 2)
    bool soundPerKey;
    int16_t noteBase;  // note = noteBase + key, or noteBase when fixed
    bool notePerKey;
    int16_t triggerMode, volume, pan;
};

constexpr KeyGroup StartGroups[] = {
    {0, 12, 0, false, 48, true, HoldStop, 100, 50},
    {13, 25, 1, false, 47, true, HoldFinish, 80, 100},
    {26, 46, -24, true, 60, false, ToggleStop, 100, 100},
};

}  // namespace

void copyKeySettings(const KeySettings& source, KeySettings& destination) { destination = source; }

bool isKeyIndex(int key) { return key >= 0 && key < KeyCount; }

KeySlot* selectedKeySlot() { return isKeyIndex(keyBank.selectedKey) ? &keyBank.slots[keyBank.selectedKey] : nullptr; }

int keyIndexForVirtualKey(unsigned virtualKey) {
    for (int k = 0; k < KeyCount; ++k)
        if (VirtualKeyOfKey[k] == virtualKey) return k;
    return -1;
}

void onKeyDownMessage(unsigned virtualKey) {
    int k = keyIndexForVirtualKey(virtualKey);
    if (k < 0) return;
    keyBank.held[k] = 1;
    keyDown(k);
}

void onKeyUpMessage(unsigned virtualKey) {
    int k = keyIndexForVirtualKey(virtualKey);
    if (k < 0) return;
    keyBank.held[k] = 0;
    keyUp(k);
}

void releaseHeldKeys() {
    for (int k = 0; k < KeyCount; ++k) {
        if (!keyBank.held[k]) continue;
        keyBank.held[k] = 0;
        keyUp(k);
    }
}

void setIdleTriggerMode(KeySlot& slot) {
    if (slot.triggerMode == ToggleFinishRunning) slot.triggerMode = ToggleFinish;
    else if (slot.triggerMode == ToggleStopRunning) slot.triggerMode = ToggleStop;
}

void initKeyBank() {
    openAudioDevice();
    for (uint8_t& flag : keyBank.finishing) flag = 0;
    buildRateTable();
    for (const KeyGroup& group : StartGroups) {
        for (int k = group.firstKey; k <= group.lastKey; ++k) {
            KeySlot& slot = keyBank.slots[k];
            slot.reservedByte1 = 0;
            slot.reservedByte2 = 0;
            slot.extraD = 1;
            slot.extraA = -1;
            slot.extraB = 10;
            slot.extraC = 0;
            slot.muted = 0;
            slot.soundIndex = static_cast<int16_t>(group.soundPerKey ? group.soundIndexBase + k : group.soundIndexBase);
            slot.note = static_cast<int16_t>(group.notePerKey ? group.noteBase + k : group.noteBase);
            slot.triggerMode = group.triggerMode;
            slot.volume = group.volume;
            slot.pan = group.pan;
        }
    }
    keyBank.selectedKey = 0;
    refreshSelectedKey();
}
