#include "panel/editing.h"

#include <algorithm>

#include "base/input.h"
#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/key_display.h"
#include "keys/key_volume.h"
#include "keys/pitch_volume.h"
#include "panel/value_display.h"
#include "setup/document.h"

namespace {

constexpr uint32_t FirstRepeatDelay = 200;  // ms from the press to the first repeat

// One of the selected key's values as its up, down and reset buttons edit it.
struct EditedValue {
    int16_t KeySettings::*field;
    int lowest, highest;
    int unity;  // what reset sets and where the repeat stops
    int smallStep, largeStep;
    // The repeat interval in ms: intervalPerStep x step size + intervalBase.
    uint32_t intervalPerStep, intervalBase;
    void (*drawDisplay)();
    bool heard;  // written to the key's voice at every change
};

constexpr EditedValue Note = {&KeySettings::note, 1, 127, 60, 1, 12, 3, 20, drawNoteDisplay, false};
constexpr EditedValue FineTune = {&KeySettings::fineTune, -100, 100, 0, 1, 10, 0, 30, drawFineTuneDisplay, false};
constexpr EditedValue Volume = {&KeySettings::volume, 0, 400, 100, 1, 10, 0, 30, drawVolumeDisplay, true};

int16_t stepped(const EditedValue& edited, int value, int step) {
    return static_cast<int16_t>(std::clamp(value + step, edited.lowest, edited.highest));
}

void applyIfHeard(const EditedValue& edited, int key) {
    if (edited.heard && keyBank.slots[key].muted == 0) applyKeyVolume(key);
}

// A step is shown, then heard; a reset is heard, then shown.
void showChange(const EditedValue& edited, int key) {
    edited.drawDisplay();
    applyIfHeard(edited, key);
}

void resetValue(const EditedValue& edited, int key) {
    keyBank.slots[key].*edited.field = static_cast<int16_t>(edited.unity);
    applyIfHeard(edited, key);
    edited.drawDisplay();
}

void editValue(const EditedValue& edited, ValueButton button) {
    if (!selectedKeySlot()) return;
    int key = keyBank.selectedKey;
    document.modified = true;
    takeUndoSnapshot();
    uint32_t pressTime = tickCount();
    // Ctrl counts only at the press: pressing or releasing it later changes nothing.
    int stepSize = isCtrlDown() ? edited.largeStep : edited.smallStep;
    if (button == ValueButton::Reset) {
        resetValue(edited, key);
        return;
    }
    int step = button == ValueButton::Down ? -stepSize : stepSize;
    uint32_t interval = edited.intervalPerStep * static_cast<uint32_t>(stepSize) + edited.intervalBase;
    int16_t& value = keyBank.slots[key].*edited.field;
    value = stepped(edited, value, step);
    showChange(edited, key);

    bool repeated = false;
    uint32_t lastRepeat = 0;
    // Polling, no messages handled: nothing else runs while the button is held.
    while (isLeftButtonDown()) {
        waitBeforeNextPoll();
        uint32_t now = tickCount();
        // Time gone by, not the counts compared: the count wraps.
        if (now - pressTime <= FirstRepeatDelay) continue;
        if (repeated && now - lastRepeat <= interval) continue;
        // The repeat stops at the unity value; a new press moves past it.
        if (value != edited.unity) value = stepped(edited, value, step);
        showChange(edited, key);
        lastRepeat = now;
        repeated = true;
    }
}

}  // namespace

void editNote(ValueButton button) { editValue(Note, button); }
void editFineTune(ValueButton button) { editValue(FineTune, button); }
void editVolume(ValueButton button) { editValue(Volume, button); }

void setTriggerModeFromPanel(int16_t code) {
    KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    document.modified = true;
    takeUndoSnapshot();
    invalidateTriggerModeButtons();
    slot->triggerMode = code;
    refreshSelectedKey();
}

void stepMasterVolume(MasterVolumeButton button) {
    document.modified = true;
    if (button == MasterVolumeButton::Up) masterVolume = static_cast<int16_t>(std::min(masterVolume + 1, 10));
    else masterVolume = static_cast<int16_t>(std::max(masterVolume - 1, 0));
    applyMasterVolume();
    drawMasterVolumeBar();
}

int panAfterDrag(int startPan, int16_t dx) {
    // One quotient, so that the whole sum is truncated toward zero.
    int pan = (3 * startPan + 10 * dx) / 3;
    if (pan < 1) return 1;
    if (pan > 200) return 200;
    if (pan > 85 && pan < 115) return 100;  // the snap band around the centre
    return pan;
}

void dragPan(int startPan, int pointerX) {
    // A release before any poll stores the start pan as a zero-pixel drag
    // leaves it: kept in range and snapped to the centre.
    int16_t dx = 0;
    while (isLeftButtonDown()) {
        waitBeforeNextPoll();
        dx = static_cast<int16_t>(pointerScreenX() - pointerX);
        drawPanKnob(panAfterDrag(startPan, dx));  // only the knob moves until the release
    }
    int pan = panAfterDrag(startPan, dx);
    if (KeySlot* slot = selectedKeySlot()) slot->pan = static_cast<int16_t>(pan);
    drawPanKnob(pan);
}
