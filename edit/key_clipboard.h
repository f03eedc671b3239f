// The key clipboard: one key's settings, copied from the selected key and
// pasted onto whichever key is selected later.
#pragma once

#include "keys/key_bank.h"

struct KeyClipboard {
    KeySettings settings;
    bool empty = true;  // nothing copied yet: the Paste item is greyed
};

// Kept for the whole run: neither opening a setup nor loading sounds clears it.
extern KeyClipboard keyClipboard;

// The Copy command: the selected key's settings onto the clipboard; makes
// Paste available. Changes neither the key nor the modified flag.
void copyKey();
// The Paste command, undoable: the clipboard's settings into the selected
// key, which gets a fresh voice of the pasted sound, comes out unmuted and
// with a running toggle put back to its idle form. Marks the setup modified.
void pasteKey();
