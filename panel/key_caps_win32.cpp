// The number of each key's sound on its cap, in the colours of its state.
#include "keys/key_bank.h"
#include "keys/playing.h"
#include "panel/panel_buttons_win32.h"
#include "panel/panel_layout.h"
#include "panel/panel_meters.h"
#include "panel/panel_redraw.h"
#include "panel/readouts_win32.h"

const TextStyle& keyCapStyle(int key) {
    if (!isKeyIndex(key)) return KeyIdleStyle;
    const KeySlot& slot = keyBank.slots[key];
    switch (keyCapLook(slot.triggerMode, isKeyPlaying(key), slot.muted != 0)) {
    case KeyCapLook::Playing:
        return KeyPlayingStyle;
    case KeyCapLook::Running:
        return KeyRunningStyle;
    case KeyCapLook::Muted:
        return KeyMutedStyle;
    case KeyCapLook::Idle:
        break;
    }
    return KeyIdleStyle;
}

void drawKeyCapLabel(int key, const TextStyle& style) {
    PanelButton* cap = isKeyIndex(key) ? panelControl(FirstKeyCapId + key, false) : nullptr;
    if (!cap) return;
    char text[ShortTextCapacity];
    formatKeyCapLabel(keyBank.slots[key].soundIndex, text);
    const PanelRect& r = KeyCapLabelRect;
    RECT box = {r.left, r.top, r.right, r.bottom};
    HDC dc = GetDC(cap->window);
    drawStyledText(dc, box, text, style);
    ReleaseDC(cap->window, dc);
}

void redrawKeyCap(int key) { drawKeyCapLabel(key, keyCapStyle(key)); }

void redrawAllKeyCaps() {
    for (int k = 0; k < KeyCount; ++k) redrawKeyCap(k);
}

void drawKeyCapLabelIdle(int key) { drawKeyCapLabel(key, KeyIdleStyle); }
