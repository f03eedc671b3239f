// Eight banks of keys: eight layouts of the 47 keys in one setup, each with
// every setting of every key and its own voices. keyBank (keys/key_bank.h)
// holds the bank shown, which every press plays and every edit changes; the
// others are kept here as they were left, their keys sounding on. The sound
// folder, its list and the master volume are every bank's.
#pragma once

#include "keys/key_bank.h"

constexpr int BankCount = 8;

// The bank shown, 0..7 (the user's Bank 1 to Bank 8).
extern int shownBank;

bool isBankIndex(int bank);
// Bank b's keys: keyBank for the shown one, its kept layout for the others.
KeyBank& bankOf(int bank);

// Start-up: every bank the start-up layout, bank 0 shown, key 0 selected.
// Draws nothing.
void initKeyBanks();
// Every bank but the shown one back to the start-up layout, without voices
// (their voices, if any, released first): a setup about to be read.
void resetHiddenBanks();
// Whether a bank's keys hold the start-up layout (their settings, not their
// state): such a bank needs no place in a setup file.
bool holdsStartUpLayout(int bank);

// Shows bank b: from now on presses play its keys and edits change them. Keys
// sounding in any bank go on; the selected key's place stays. Everything shown
// of the keys is drawn again. Nothing when b is shown already or no bank.
void showBank(int bank);
// Whether any key of the bank sounds: playing, playing out or latched.
bool isBankSounding(int bank);
// A computer key's press went to the shown bank: its key-up will go there.
void notePressedInShownBank(int key);
// The bank key's last press went to, the shown one when none is known; the
// key is up from now on.
int takePressedBank(int key);
// No key of any bank is held from MIDI any more; nothing is released.
void forgetMidiHolds();
