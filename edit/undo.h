// One level of Undo for the key edited last. Each Undo command exchanges the
// key's settings with the saved ones, so repeating it alternates between
// undo and redo.
#pragma once
#include <cstdint>

#include "keys/key_bank.h"

struct UndoSnapshot {
    int16_t keyIndex = 0;  // the key whose settings were saved
    KeySettings settings;
    bool redo = false;  // the next Undo command redoes, and its item reads "Redo\tCtrl+Z"
    bool empty = true;  // nothing saved yet: the Undo item is greyed
};

// Kept for the whole run: neither opening a setup nor loading sounds clears it.
extern UndoSnapshot undoSnapshot;

// Saves the selected key's settings just before an edit changes them, and
// makes the Undo item available as "Undo\tCtrl+Z".
void takeUndoSnapshot();
// The Undo command: selects the saved key and exchanges its settings with
// the saved ones; the key gets a fresh voice of its restored sound. The
// modified flag stays as it is.
void undoRedo();
