// The 47 performance keys and their stored settings.
#pragma once
#include <cstdint>

class Voice;

constexpr int KeyCount = 47;

// Trigger-mode codes as stored in KeySlot::triggerMode. The running codes are
// carried only while a toggle key sounds; one higher is their idle form.
enum TriggerMode : int16_t {
    HoldFinish = 991,
    HoldStop = 992,
    ToggleStopRunning = 993,
    ToggleStop = 994,
    ToggleFinishRunning = 995,
    ToggleFinish = 996,
};

// Everything of a key that is stored, copied, pasted and undone: all but its voice.
struct KeySettings {
    int16_t extraA = -1;
    uint8_t reservedByte1 = 0;
    uint8_t reservedByte2 = 0;
    int16_t note = 60;
    int16_t triggerMode = HoldStop;
    int16_t soundIndex = 0;
    int16_t volume = 100;
    int16_t pan = 100;
    int16_t fineTune = 0;
    int16_t muted = 0;
    int16_t extraB = 10;
    int16_t extraC = 0;
    int16_t extraD = 1;
};

// Every settings field, field by field in their order; when the destination
// is a KeySlot its voice stays as it was.
void copyKeySettings(const KeySettings& source, KeySettings& destination);

struct KeySlot : KeySettings {
    Voice* voice = nullptr;  // owned by the slot; empty until a sound bank is loaded
};

struct KeyBank {
    KeySlot slots[KeyCount];
    int16_t selectedKey = 0;
    uint8_t finishing[KeyCount] = {};
    // 1 from a key's key-down to its key-up: the keys the player holds now.
    uint8_t held[KeyCount] = {};
};

extern KeyBank keyBank;

bool isKeyIndex(int key);
// The selected key's slot; nullptr while selectedKey names no key.
KeySlot* selectedKeySlot();

// Start-up: clears the finishing flags, builds the rate table, gives every
// key its start-up values and selects key 0. Draws nothing.
void initKeyBank();

// Puts a running toggle code back to its idle form (993 -> 994, 995 -> 996).
void setIdleTriggerMode(KeySlot& slot);
