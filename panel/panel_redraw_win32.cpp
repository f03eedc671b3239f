// The selected key's readouts, bar meters, frame, lights and pan knob, the
// key caps' labels, the master volume bar and the whole panel's repaint.
#include "panel/panel_redraw.h"

#include "base/app_handles_win32.h"
#include "base/scoped_win32.h"
#include "keys/key_bank.h"
#include "keys/key_display.h"
#include "keys/key_voices.h"
#include "keys/pitch_volume.h"
#include "keys/playing.h"
#include "library/sound_list_window.h"
#include "panel/bitmap_win32.h"
#include "panel/panel_buttons_win32.h"
#include "panel/panel_graphics_win32.h"
#include "panel/panel_layout.h"
#include "panel/panel_meters.h"
#include "panel/value_display.h"
#include "setup/document.h"

namespace {

RECT toRect(const PanelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void invalidateControl(const PanelButton* button) {
    if (button) InvalidateRect(button->window, nullptr, FALSE);
}

void drawReadout(int value, const RECT& box, const TextStyle& style) {
    char text[ShortTextCapacity];
    formatReadout(value, text);
    ScopedGetDC dc(mainWindow);
    drawStyledText(dc, box, text, style);
}

void drawBarMeter(int rangeTop, int value, const RECT& box, HBRUSH brush) {
    int split = barSplit(rangeTop, value, box.top, box.bottom);
    RECT empty = {box.left, box.top, box.right, split};
    RECT filled = {box.left, split, box.right, box.bottom};
    ScopedGetDC dc(mainWindow);
    FillRect(dc, &empty, barEmptyBrush);
    FillRect(dc, &filled, brush);
}

void drawValueDisplay(const ValueDisplay& shown, const PanelRect& readout, const PanelRect& bar, HBRUSH brush,
                      const TextStyle& style, bool barFirst) {
    if (barFirst) drawBarMeter(shown.barRangeTop, shown.barValue, toRect(bar), brush);
    drawReadout(shown.readoutValue, toRect(readout), style);
    if (!barFirst) drawBarMeter(shown.barRangeTop, shown.barValue, toRect(bar), brush);
}

}  // namespace

void refreshSelectedKey() {
    const KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    soundListSelect(soundListEntryForKey(slot->soundIndex, soundListCount()));
    drawSelectionFrame();
    drawPanKnob(slot->pan);
    drawNoteDisplay();
    drawTriggerLight();
    drawVolumeDisplay();
    drawFineTuneDisplay();
    drawMuteButton();
}

void drawSelectionFrame() {
    PanelButton* cap = selectedKeySlot() ? panelControl(FirstKeyCapId + keyBank.selectedKey, false) : nullptr;
    if (!cap) return;
    ScopedGetDC dc(mainWindow);
    RECT frame = cap->rectangle;
    for (int ring = 0; ring < 3; ++ring) {
        FrameRect(dc, &frame, frameBrush);
        InflateRect(&frame, -1, -1);
    }
}

void drawTriggerLight() {
    const KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    PanelButton* lit = panelControl(triggerLightButtonId(slot->triggerMode), false);
    if (lit) paintIntoControl(*lit, lit->litImage, 0, 0);
}

void drawNoteDisplay() {
    if (const KeySlot* slot = selectedKeySlot())
        drawValueDisplay(noteDisplay(slot->note), NoteReadoutRect, NoteBarRect, noteBarBrush, readoutStyle, false);
}

void drawFineTuneDisplay() {
    if (const KeySlot* slot = selectedKeySlot())
        drawValueDisplay(fineTuneDisplay(slot->fineTune), FineTuneReadoutRect, FineTuneBarRect, fineTuneBarBrush,
                         readoutStyle, false);
}

void drawVolumeDisplay() {
    const KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    ValueDisplay shown = volumeDisplay(slot->volume);
    drawValueDisplay(shown, VolumeReadoutRect, VolumeBarRect, shown.hot ? volumeHotBrush : volumeBarBrush,
                     shown.hot ? readoutHotStyle : readoutStyle, true);
}

void drawMasterVolumeBar() { drawBarMeter(10, masterVolume, toRect(MasterVolumeBarRect), frameBrush); }

void drawMuteButton() {
    PanelButton* mute = panelControl(MuteButtonId, false);
    const KeySlot* slot = selectedKeySlot();
    if (!mute) return;
    if (slot && slot->muted != 0) paintIntoControl(*mute, mute->pressedImage, 0, 0);
    else paintBackgroundBehind(*mute);
}

void drawPanKnob(int pan) {
    PanelButton* knob = panelControl(PanKnobId, false);
    if (!knob) return;
    MoveWindow(knob->window, panKnobX(pan), PanKnobY, PanKnobWidth, PanKnobHeight, TRUE);
    paintIntoControl(*knob, loadBitmapResource(panKnobImageName(panKnobImage(pan))), 0, 0);
}

void paintPanel() {
    drawBitmap(backgroundBitmap, mainWindow, 0, 0, panelPalette.get());
    refreshSelectedKey();
    drawMasterVolumeBar();
}

const TextStyle& keyCapStyle(int key) {
    if (!isKeyIndex(key)) return keyIdleStyle;
    const KeySlot& slot = keyBank.slots[key];
    switch (keyCapLook(slot.triggerMode, isKeyPlaying(key), slot.muted != 0)) {
    case KeyCapLook::Playing:
        return keyPlayingStyle;
    case KeyCapLook::Running:
        return keyRunningStyle;
    case KeyCapLook::Muted:
        return keyMutedStyle;
    case KeyCapLook::Idle:
        break;
    }
    return keyIdleStyle;
}

void drawKeyCapLabel(int key, const TextStyle& style) {
    PanelButton* cap = isKeyIndex(key) ? panelControl(FirstKeyCapId + key, false) : nullptr;
    if (!cap) return;
    const KeySlot& slot = keyBank.slots[key];
    bool loading = isKeySoundLoading(slot);
    char text[ShortTextCapacity];
    formatKeyCapText(slot.soundIndex, slot.ownFile > 0, loading, text);
    const PanelRect& r = KeyCapLabelRect;
    RECT box = {r.left, r.top, r.right, r.bottom};
    ScopedGetDC dc(cap->window);
    drawStyledText(dc, box, text, loading ? keyLoadingStyle : style);
}

void redrawKeyCap(int key) { drawKeyCapLabel(key, keyCapStyle(key)); }

void redrawAllKeyCaps() {
    for (int k = 0; k < KeyCount; ++k) redrawKeyCap(k);
}

void drawKeyCapLabelIdle(int key) { drawKeyCapLabel(key, keyIdleStyle); }

void invalidateKeyCap(int key) {
    if (isKeyIndex(key)) invalidateControl(panelControl(FirstKeyCapId + key, false));
}

void invalidateTriggerModeButtons() {
    for (int i = 0; i < TriggerModeButtonCount; ++i)
        invalidateControl(panelControl(FirstTriggerModeButtonId + i, false));
}

namespace {
bool bankLookWaiting = false;
}  // namespace

void showShownBank() { bankLookWaiting = true; }

bool bankLookPending() { return bankLookWaiting; }

void drawBankLook() {
    bankLookWaiting = false;
    invalidateTriggerModeButtons();
    redrawAllKeyCaps();
    refreshSelectedKey();
    updateWindowTitle();
}
