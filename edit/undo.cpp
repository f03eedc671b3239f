#include "edit/undo.h"

#include "app/command_ids.h"
#include "app/menu.h"

UndoSnapshot undoSnapshot;

namespace {

const char* const UndoItemText = "Undo\tCtrl+Z";

}  // namespace

void takeUndoSnapshot() {
    const KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    setMenuItemEnabled(CMD_UNDO, true);
    copyKeySettings(*slot, undoSnapshot.settings);
    undoSnapshot.keyIndex = keyBank.selectedKey;
    setMenuItemText(CMD_UNDO, UndoItemText);
    undoSnapshot.redo = false;
    undoSnapshot.empty = false;
}
