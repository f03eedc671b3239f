#include "keys/key_selection.h"

#include "keys/key_bank.h"
#include "keys/key_display.h"

void selectKeyFromPanel(int key) {
    if (!isKeyIndex(key)) return;
    if (isKeyIndex(keyBank.selectedKey)) invalidateKeyCap(keyBank.selectedKey);
    invalidateTriggerModeButtons();
    keyBank.selectedKey = static_cast<int16_t>(key);
    refreshSelectedKey();
}

void selectKey(int key) {
    if (!isKeyIndex(key)) return;
    if (isKeyIndex(keyBank.selectedKey)) redrawKeyCap(keyBank.selectedKey);
    keyBank.selectedKey = static_cast<int16_t>(key);
    invalidateKeyCap(key);
    invalidateTriggerModeButtons();
    refreshSelectedKey();
}
