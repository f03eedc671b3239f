#include "keys/keyboard_map.h"

#include <cstdint>

#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/playing.h"

namespace {

// Virtual-key codes in key-index order: number row, Q row, A row, Z row.
constexpr uint8_t VirtualKeyOfKey[KeyCount] = {
    192, 49,  50, 51, 52, 53, 54, 55, 56, 57, 48, 189, 187, 81, 87, 69, 82, 84, 89, 85, 73,  79,  80,  219,
    221, 220, 65, 83, 68, 70, 71, 72, 74, 75, 76, 186, 222, 90, 88, 67, 86, 66, 78, 77, 188, 190, 191,
};

// F1 to F8 show banks 1 to 8, whatever modifier is down.
constexpr unsigned FirstBankKey = 0x70;  // VK_F1

// In a key-down message's flags: the key was down before this message.
constexpr uint32_t KeyWasDownFlag = 1u << 30;

constexpr const char* KeyNames[KeyCount] = {
    "`", "1", "2", "3", "4", "5", "6", "7", "8", "9",  "0", "-", "=", "Q", "W", "E",
    "R", "T", "Y", "U", "I", "O", "P", "[", "]", "\\", "A", "S", "D", "F", "G", "H",
    "J", "K", "L", ";", "'", "Z", "X", "C", "V", "B",  "N", "M", ",", ".", "/",
};

}  // namespace

const char* keyName(int key) { return isKeyIndex(key) ? KeyNames[key] : ""; }

int keyIndexForVirtualKey(unsigned virtualKey) {
    for (int k = 0; k < KeyCount; ++k)
        if (VirtualKeyOfKey[k] == virtualKey) return k;
    return -1;
}

void onKeyDownMessage(unsigned virtualKey, uint32_t keyFlags) {
    // The keyboard's auto-repeat of a key already down: the press was its first key-down.
    if (keyFlags & KeyWasDownFlag) return;
    if (virtualKey >= FirstBankKey && virtualKey < FirstBankKey + BankCount) {
        showBank(static_cast<int>(virtualKey - FirstBankKey));
        return;
    }
    int k = keyIndexForVirtualKey(virtualKey);
    if (k < 0) return;
    keyBank.held[k] = 1;
    notePressedInShownBank(k);
    keyDown(k);
}

void onKeyUpMessage(unsigned virtualKey) {
    int k = keyIndexForVirtualKey(virtualKey);
    if (k < 0) return;
    int bank = takePressedBank(k);
    if (bank == shownBank) {
        keyBank.held[k] = 0;
        keyUp(k);
        return;
    }
    // Pressed in a bank shown no more: it stops there, as its key-up would.
    KeyBank& keys = bankOf(bank);
    keys.held[k] = 0;
    if (keys.midiHolds[k] == 0) releaseKeyOfBank(bank, k);
}

void releaseHeldKeys() {
    for (int b = 0; b < BankCount; ++b) {
        KeyBank& keys = bankOf(b);
        for (int k = 0; k < KeyCount; ++k) {
            if (!keys.held[k]) continue;
            keys.held[k] = 0;
            takePressedBank(k);
            if (b == shownBank) keyUpElsewhere(k);
            else if (keys.midiHolds[k] == 0) releaseKeyOfBank(b, k);
        }
    }
}
