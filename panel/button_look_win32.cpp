#include "panel/button_look_win32.h"

#include "keys/key_bank.h"
#include "keys/key_display.h"
#include "panel/panel_buttons_win32.h"
#include "panel/panel_layout.h"
#include "panel/panel_redraw.h"
#include "panel/value_display.h"

namespace {

bool isTriggerModeButton(int id) {
    return id >= FirstTriggerModeButtonId && id < FirstTriggerModeButtonId + TriggerModeButtonCount;
}

// The background carries the released art of every control; a control's own
// bitmaps appear only while it is pushed or lit, and for the knob always.
void drawReleasedLook(PanelButton& button) {
    if (button.id == PanKnobId) {
        if (isKeyIndex(keyBank.selectedKey)) drawPanKnob(keyBank.slots[keyBank.selectedKey].pan);
    } else if (button.id == MuteButtonId) {
        drawMuteButton();
    } else if (isKeyCapId(button.id)) {
        int key = keyOfKeyCapId(button.id);
        paintBackgroundBehind(button);
        drawSelectionFrame();
        drawKeyCapLabel(key, keyCapStyle(key));
    } else if (isTriggerModeButton(button.id)) {
        paintBackgroundBehind(button);
        drawTriggerLight();
    } else {
        paintBackgroundBehind(button);
    }
}

}  // namespace

void drawPanelButton(PanelButton& button, UINT action, UINT state) {
    if (!(action & (ODA_DRAWENTIRE | ODA_SELECT))) return;  // a focus change paints nothing
    if (state & ODS_SELECTED) {
        paintIntoControl(button, button.pressedImage, 0, 0);
        if (isKeyCapId(button.id)) drawSelectionFrame();
        return;
    }
    drawReleasedLook(button);
}

void drawPanelButtonItem(const DRAWITEMSTRUCT* item) {
    if (!item) return;
    PanelButton* button = panelControl(static_cast<int>(item->CtlID), false);
    if (button) drawPanelButton(*button, item->itemAction, item->itemState);
}
