#include "keys/key_bank.h"

#include "keys/pitch_volume.h"

KeyBank keyBank;

namespace {

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

bool hasDefaultProperties(const KeySettings& key) {
    return key.chokeGroup == 0 && key.fadeInMilliseconds == 0 && key.fadeOutMilliseconds == 0 &&
           key.startMilliseconds == 0 && key.endMilliseconds == 0;
}

bool isKeyIndex(int key) { return key >= 0 && key < KeyCount; }

KeySlot* selectedKeySlot() { return isKeyIndex(keyBank.selectedKey) ? &keyBank.slots[keyBank.selectedKey] : nullptr; }

void setIdleTriggerMode(KeySettings& key) {
    if (key.triggerMode == ToggleFinishRunning) key.triggerMode = ToggleFinish;
    else if (key.triggerMode == ToggleStopRunning) key.triggerMode = ToggleStop;
}

void giveStartUpLayout(KeyBank& bank) {
    for (const KeyGroup& group : StartGroups) {
        for (int k = group.firstKey; k <= group.lastKey; ++k) {
            KeySlot& slot = bank.slots[k];
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
            slot.chokeGroup = 0;
            slot.fadeInMilliseconds = 0;
            slot.fadeOutMilliseconds = 0;
            slot.startMilliseconds = 0;
            slot.endMilliseconds = 0;
            slot.ownFile = 0;
        }
    }
}

void initKeyBank() {
    for (uint8_t& flag : keyBank.finishing) flag = 0;
    buildRateTable();
    giveStartUpLayout(keyBank);
    keyBank.selectedKey = 0;
}
