#include "edit/all_keys.h"

#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/key_display.h"
#include "keys/key_volume.h"
#include "setup/document.h"

namespace {

constexpr int16_t CentrePan = 100;
constexpr int16_t FullVolume = 100;

template <typename Change>
void changeEveryKey(Change change) {
    takeAllKeysUndoSnapshot();
    for (KeySlot& slot : keyBank.slots) change(slot);
    document.modified = true;
    refreshSelectedKey();
}

}  // namespace

void allKeysMono() {
    changeEveryKey([](KeySlot& slot) { slot.pan = CentrePan; });
}

void allKeysVolume100() {
    changeEveryKey([](KeySlot& slot) { slot.volume = FullVolume; });
    applyMasterVolume();
}

void allKeysPitchZero() {
    changeEveryKey([](KeySlot& slot) { slot.fineTune = 0; });
}
