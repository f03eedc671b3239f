// The keyboard map: which virtual-key code plays which performance key.
#pragma once
#include <cstdint>

// Key index 0..46 for a virtual-key code, or -1 for a code that is no performance key.
int keyIndexForVirtualKey(unsigned virtualKey);
// The legend of key k's computer key, as a US keyboard prints it ("`", "Q",
// "\\"); "" for no key.
const char* keyName(int key);
// keyFlags: the key-down message's lParam, whose previous-key-state bit marks
// the keyboard's auto-repeat of a key held, which is no press. F1 to F8 show
// banks 1 to 8.
void onKeyDownMessage(unsigned virtualKey, uint32_t keyFlags);
void onKeyUpMessage(unsigned virtualKey);
// The main window has lost the keyboard: the key-ups of keys held now will go
// elsewhere, so each held key is released here as its key-up without Alt
// would (a latched toggle stays latched), Alt+Tab's Alt notwithstanding.
void releaseHeldKeys();
