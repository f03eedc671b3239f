#include "edit/key_clipboard.h"

#include "base/menu.h"
#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/key_display.h"
#include "keys/key_voices.h"
#include "resources/command_ids.h"
#include "setup/document.h"

KeyClipboard keyClipboard;

void copyKey() {
    const KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    copyKeySettings(*slot, keyClipboard.settings);
    keyClipboard.settings.extraA = -1;
    keyClipboard.empty = false;
    refreshSelectedKey();
    setMenuItemEnabled(CMD_PASTE, true);
}

void pasteKey() {
    KeySlot* slot = selectedKeySlot();
    // The greyed item keeps the command away until something was copied.
    if (keyClipboard.empty || !slot) return;
    invalidateKeyCap(keyBank.selectedKey);
    takeUndoSnapshot();
    copyKeySettings(keyClipboard.settings, *slot);
    giveSelectedKeyItsSound();
    setIdleTriggerMode(*slot);
    slot->muted = 0;
    invalidateTriggerModeButtons();
    refreshSelectedKey();
    document.modified = true;
}
