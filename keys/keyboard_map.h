// The keyboard map: which virtual-key code plays which performance key.
#pragma once

// Key index 0..46 for a virtual-key code, or -1 for a code that is no performance key.
int keyIndexForVirtualKey(unsigned virtualKey);
void onKeyDownMessage(unsigned virtualKey);
void onKeyUpMessage(unsigned virtualKey);
// The main window has lost the keyboard: the key-ups of keys held now will go
// elsewhere, so each held key is released here as its key-up without Alt
// would (a latched toggle stays latched), Alt+Tab's Alt notwithstanding.
void releaseHeldKeys();
