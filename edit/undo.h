// One level of Undo for the key edited last, or for the levels of every key
// that an All Keys command changed. Each Undo command exchanges the settings
// with the saved ones, so repeating it alternates between undo and redo.
#pragma once
#include <cstdint>

#include "keys/key_bank.h"

// What an All Keys command changes of every key.
struct KeyLevels {
    int16_t volume;
    int16_t pan;
    int16_t fineTune;
};

struct UndoSnapshot {
    int16_t bank = 0;      // the bank the key or keys were in: Undo shows it again
    int16_t keyIndex = 0;  // the key whose settings were saved
    KeySettings settings;
    // Keys after keyIndex saved with it, as one step (files dropped on keys).
    int16_t followingCount = 0;
    KeySettings following[KeyCount - 1];
    bool allKeys = false;  // the levels of every key were saved instead
    KeyLevels levels[KeyCount] = {};
    bool redo = false;  // the next Undo command redoes, and its item reads "Redo\tCtrl+Z"
    bool empty = true;  // nothing saved yet: the Undo item is greyed
};

// Kept for the whole run: neither opening a setup nor loading sounds clears it.
extern UndoSnapshot undoSnapshot;

// Saves the selected key's settings just before an edit changes them, and
// makes the Undo item available as "Undo\tCtrl+Z".
void takeUndoSnapshot();
// Saves the settings of count keys from the selected one on (at most to the
// last key) as one step.
void takeKeysUndoSnapshot(int count);
// Saves every key's volume, pan and fine tune just before an All Keys command
// changes them, as one step.
void takeAllKeysUndoSnapshot();
// The Undo command: shows the bank the snapshot was taken in, selects the
// saved key and exchanges its settings with the saved ones; the key gets a
// fresh voice of its restored sound, and so do the keys saved with it. Of an All Keys command, every key's
// levels are exchanged instead: a volume is heard at once, pan and fine tune
// from each key's next start, no sound is cut and the selected key stays
// selected. The modified flag stays as it is.
void undoRedo();
