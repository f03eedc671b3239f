#include "keys/key_banks.h"

#include "audio/voice.h"
#include "keys/key_display.h"

int shownBank = 0;

namespace {

// The banks not shown, each in its place; the shown bank's place is empty,
// its keys are keyBank's.
KeyBank keptBanks[BankCount];
// The bank + 1 each computer key's press went to; 0 while it is up.
uint8_t pressedBanks[KeyCount] = {};

// What a setup file keeps of a key, a latched toggle taken as idle.
bool sameStoredSettings(const KeySettings& a, const KeySettings& b) {
    KeySettings first = a, second = b;
    setIdleTriggerMode(first);
    setIdleTriggerMode(second);
    return first.note == second.note && first.triggerMode == second.triggerMode &&
           first.soundIndex == second.soundIndex && first.extraA == second.extraA && first.volume == second.volume &&
           first.pan == second.pan && first.fineTune == second.fineTune && first.extraB == second.extraB &&
           first.extraC == second.extraC && first.extraD == second.extraD && first.chokeGroup == second.chokeGroup &&
           first.fadeInMilliseconds == second.fadeInMilliseconds &&
           first.fadeOutMilliseconds == second.fadeOutMilliseconds &&
           first.startMilliseconds == second.startMilliseconds && first.endMilliseconds == second.endMilliseconds &&
           first.ownFile == second.ownFile;
}

bool isVoicePlaying(Voice* voice) {
    uint32_t status = 0;
    return voice && voice->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING) != 0;
}

}  // namespace

bool isBankIndex(int bank) { return bank >= 0 && bank < BankCount; }

KeyBank& bankOf(int bank) { return bank == shownBank ? keyBank : keptBanks[bank]; }

void initKeyBanks() {
    initKeyBank();
    shownBank = 0;
    for (uint8_t& pressed : pressedBanks) pressed = 0;
    for (KeyBank& kept : keptBanks) {
        kept = KeyBank();
        giveStartUpLayout(kept);
    }
}

void resetHiddenBanks() {
    for (int b = 0; b < BankCount; ++b) {
        if (b == shownBank) continue;
        for (KeySlot& slot : keptBanks[b].slots) releaseVoice(slot.voice);
        keptBanks[b] = KeyBank();
        giveStartUpLayout(keptBanks[b]);
    }
}

bool holdsStartUpLayout(int bank) {
    KeyBank startUp;
    giveStartUpLayout(startUp);
    const KeyBank& keys = bankOf(bank);
    for (int k = 0; k < KeyCount; ++k)
        if (!sameStoredSettings(keys.slots[k], startUp.slots[k])) return false;
    return true;
}

void showBank(int bank) {
    if (!isBankIndex(bank) || bank == shownBank) return;
    int16_t selected = keyBank.selectedKey;
    keptBanks[shownBank] = keyBank;
    keyBank = keptBanks[bank];
    keptBanks[bank] = KeyBank();  // its voices are keyBank's now
    keyBank.selectedKey = selected;
    shownBank = bank;
    showShownBank();
}

void notePressedInShownBank(int key) {
    if (isKeyIndex(key)) pressedBanks[key] = static_cast<uint8_t>(shownBank + 1);
}

int takePressedBank(int key) {
    if (!isKeyIndex(key) || pressedBanks[key] == 0) return shownBank;
    int bank = pressedBanks[key] - 1;
    pressedBanks[key] = 0;
    return bank;
}

void forgetMidiHolds() {
    for (int b = 0; b < BankCount; ++b) {
        KeyBank& keys = bankOf(b);
        for (auto& notes : keys.keyOfHeldNote)
            for (uint8_t& key : notes) key = 0;
        for (uint16_t& holds : keys.midiHolds) holds = 0;
    }
}

bool isBankSounding(int bank) {
    const KeyBank& keys = bankOf(bank);
    for (int k = 0; k < KeyCount; ++k) {
        const KeySlot& slot = keys.slots[k];
        if (keys.finishing[k] || slot.triggerMode == ToggleStopRunning || slot.triggerMode == ToggleFinishRunning ||
            isVoicePlaying(slot.voice))
            return true;
    }
    return false;
}
