#include "edit/undo.h"

#include "audio/voice.h"
#include "base/menu.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/key_display.h"
#include "keys/key_selection.h"
#include "keys/key_voices.h"
#include "keys/key_volume.h"
#include "keys/playing.h"
#include "resources/command_ids.h"

UndoSnapshot undoSnapshot;

namespace {

const char* const UndoItemText = "Undo\tCtrl+Z";
const char* const RedoItemText = "Redo\tCtrl+Z";

void exchangeKeySettings(KeySettings& key, KeySettings& saved) {
    KeySettings held;
    copyKeySettings(key, held);
    copyKeySettings(saved, key);
    copyKeySettings(held, saved);
}

KeyLevels levelsOf(const KeySettings& key) { return {key.volume, key.pan, key.fineTune}; }

void exchangeAllKeysLevels() {
    for (int k = 0; k < KeyCount; ++k) {
        KeySlot& slot = keyBank.slots[k];
        KeyLevels held = levelsOf(slot);
        slot.volume = undoSnapshot.levels[k].volume;
        slot.pan = undoSnapshot.levels[k].pan;
        slot.fineTune = undoSnapshot.levels[k].fineTune;
        undoSnapshot.levels[k] = held;
    }
    applyMasterVolume();
}

// The keys saved after the selected one get their settings and sounds back;
// they do not sound, as the drop that changed them left them idle.
void exchangeFollowingKeys() {
    for (int i = 0; i < undoSnapshot.followingCount; ++i) {
        int key = undoSnapshot.keyIndex + 1 + i;
        if (!isKeyIndex(key)) break;
        KeySlot& slot = keyBank.slots[key];
        exchangeKeySettings(slot, undoSnapshot.following[i]);
        if (isSoundKnown(soundOfKey(slot))) {
            giveKeyItsSound(key);  // draws the cap too
            continue;
        }
        releaseVoice(slot.voice);
        redrawKeyCap(key);
    }
}

void makeUndoAvailable() {
    setMenuItemEnabled(CMD_UNDO, true);
    setMenuItemText(CMD_UNDO, UndoItemText);
    undoSnapshot.redo = false;
    undoSnapshot.empty = false;
}

}  // namespace

void takeUndoSnapshot() {
    const KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    copyKeySettings(*slot, undoSnapshot.settings);
    undoSnapshot.bank = static_cast<int16_t>(shownBank);
    undoSnapshot.keyIndex = keyBank.selectedKey;
    undoSnapshot.followingCount = 0;
    undoSnapshot.allKeys = false;
    makeUndoAvailable();
}

void takeKeysUndoSnapshot(int count) {
    takeUndoSnapshot();
    if (!selectedKeySlot()) return;
    int following = count - 1;
    if (following > KeyCount - 1 - keyBank.selectedKey) following = KeyCount - 1 - keyBank.selectedKey;
    for (int i = 0; i < following; ++i)
        copyKeySettings(keyBank.slots[keyBank.selectedKey + 1 + i], undoSnapshot.following[i]);
    undoSnapshot.followingCount = static_cast<int16_t>(following < 0 ? 0 : following);
}

void takeAllKeysUndoSnapshot() {
    for (int k = 0; k < KeyCount; ++k) undoSnapshot.levels[k] = levelsOf(keyBank.slots[k]);
    undoSnapshot.bank = static_cast<int16_t>(shownBank);
    undoSnapshot.allKeys = true;
    makeUndoAvailable();
}

void undoRedo() {
    // The greyed item keeps the command away until there is a snapshot.
    if (undoSnapshot.empty) return;
    showBank(undoSnapshot.bank);
    if (undoSnapshot.allKeys) {
        exchangeAllKeysLevels();
        undoSnapshot.redo = !undoSnapshot.redo;
        setMenuItemText(CMD_UNDO, undoSnapshot.redo ? RedoItemText : UndoItemText);
        refreshSelectedKey();
        return;
    }
    if (!isKeyIndex(undoSnapshot.keyIndex)) return;
    invalidateKeyCap(keyBank.selectedKey);
    selectKey(undoSnapshot.keyIndex);
    KeySlot& slot = keyBank.slots[undoSnapshot.keyIndex];
    exchangeKeySettings(slot, undoSnapshot.settings);
    giveSelectedKeyItsSound();
    // A file of the key's own taken back leaves no sound behind it: the key
    // falls silent rather than keep playing the file.
    if (undoSnapshot.settings.ownFile > 0 && !isSoundKnown(soundOfKey(slot))) releaseVoice(slot.voice);
    exchangeFollowingKeys();
    // A snapshot taken while the key was latched holds a running code; a key
    // that is not sounding now must not come back latched (its sound past the
    // bank leaves it its silent voice, or none).
    if (!isKeyPlaying(undoSnapshot.keyIndex)) setIdleTriggerMode(slot);
    undoSnapshot.redo = !undoSnapshot.redo;
    setMenuItemText(CMD_UNDO, undoSnapshot.redo ? RedoItemText : UndoItemText);
    invalidateTriggerModeButtons();
    refreshSelectedKey();
}
