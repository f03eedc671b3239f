#include "panel/panel_actions.h"

#include "base/input.h"
#include "edit/key_properties.h"
#include "keys/key_bank.h"
#include "keys/key_selection.h"
#include "keys/playing.h"
#include "panel/editing.h"
#include "panel/panel_layout.h"

void performPanelRightClick(int id) {
    if (!isKeyCapId(id)) return;
    selectKeyFromPanel(keyOfKeyCapId(id));
    editKeyProperties();
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
    case PanelAction::NoteUp:
        editNote(ValueButton::Up);
        break;
    case PanelAction::NoteReset:
        editNote(ValueButton::Reset);
        break;
    case PanelAction::NoteDown:
        editNote(ValueButton::Down);
        break;
    case PanelAction::FineTuneUp:
        editFineTune(ValueButton::Up);
        break;
    case PanelAction::FineTuneReset:
        editFineTune(ValueButton::Reset);
        break;
    case PanelAction::FineTuneDown:
        editFineTune(ValueButton::Down);
        break;
    case PanelAction::VolumeUp:
        editVolume(ValueButton::Up);
        break;
    case PanelAction::VolumeReset:
        editVolume(ValueButton::Reset);
        break;
    case PanelAction::VolumeDown:
        editVolume(ValueButton::Down);
        break;
    case PanelAction::MasterVolumeUp:
        stepMasterVolume(MasterVolumeButton::Up);
        break;
    case PanelAction::MasterVolumeDown:
        stepMasterVolume(MasterVolumeButton::Down);
        break;
    case PanelAction::TriggerMode:
        setTriggerModeFromPanel(control->triggerMode);
        break;
    case PanelAction::DragPan:
        if (const KeySlot* slot = selectedKeySlot()) dragPan(slot->pan, pointerScreenXAtPress());
        break;
    }
}
