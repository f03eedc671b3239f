#include "panel/panel_actions.h"

#include "keys/key_bank.h"
#include "keys/playing.h"
#include "panel/panel_layout.h"
#include "panel/panel_redraw.h"

void selectKeyFromPanel(int key) {
    if (!isKeyIndex(key)) return;
    if (isKeyIndex(keyBank.selectedKey)) invalidateKeyCap(keyBank.selectedKey);
    invalidateTriggerModeButtons();
    keyBank.selectedKey = static_cast<int16_t>(key);
    refreshSelectedKey();
}

void performPanelAction(int id) {
    if (isKeyCapId(id)) {
        selectKeyFromPanel(keyOfKeyCapId(id));
        return;
    }
    const PanelControlInfo* control = findPanelControlInfo(id);
    if (!control) return;
    switch (control->action) {
    case PanelAction::Mute:
        if (isKeyIndex(keyBank.selectedKey)) muteButton(keyBank.selectedKey);
        break;
    case PanelAction::KillAll:
        killAllSounds();
        break;
    case PanelAction::SelectKey:
        break;  // handled above by id
    case PanelAction::None:
        break;  // the dial buttons only look pushed
    // Editing the selected key's values, its trigger mode, the master volume
    // and the pan is not wired to the panel yet: these controls only push.
    case PanelAction::NoteUp:
    case PanelAction::NoteReset:
    case PanelAction::NoteDown:
    case PanelAction::FineTuneUp:
    case PanelAction::FineTuneReset:
    case PanelAction::FineTuneDown:
    case PanelAction::VolumeUp:
    case PanelAction::VolumeReset:
    case PanelAction::VolumeDown:
    case PanelAction::MasterVolumeUp:
    case PanelAction::MasterVolumeDown:
    case PanelAction::TriggerMode:
    case PanelAction::DragPan:
        break;
    }
}
