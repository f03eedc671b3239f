#include "shell/commands_win32.h"

#include <windows.h>

#include "base/app_handles_win32.h"
#include "base/dialogs.h"
#include "base/menu.h"
#include "edit/all_keys.h"
#include "edit/key_clipboard.h"
#include "edit/key_properties.h"
#include "edit/undo.h"
#include "flows/bank_menu.h"
#include "flows/output_choice.h"
#include "flows/output_device.h"
#include "flows/recording.h"
#include "flows/setup_commands.h"
#include "flows/sound_loading.h"
#include "keys/playing.h"
#include "library/sound_list_window_win32.h"
#include "midi/midi_input.h"
#include "midi/midi_learn.h"
#include "resources/command_ids.h"
#include "setup/document.h"

void runCommand(UINT id, WPARAM wParam, LPARAM lParam) {
    if (id >= CMD_OUTPUT_DEVICE_FIRST && id <= CMD_OUTPUT_DEVICE_LAST) {
        chooseOutputDevice(static_cast<int>(id - CMD_OUTPUT_DEVICE_FIRST));
        return;
    }
    if (id == SOUND_LIST_ID) {
        if (HIWORD(wParam) == SoundListClicked) assignSelectedSoundFromList();
        return;
    }
    if (id >= CMD_BANK_FIRST && id <= CMD_BANK_LAST) {
        chooseBank(static_cast<int>(id - CMD_BANK_FIRST));
        return;
    }
    if (id >= CMD_MIDI_INPUT_FIRST && id <= CMD_MIDI_INPUT_LAST) {
        chooseMidiInput(static_cast<int>(id - CMD_MIDI_INPUT_FIRST));
        return;
    }
    switch (id) {
    case CMD_OPEN_SETUP:
        if (confirmSaveChanges() == SaveChangesResult::Proceed) openSetupFile();
        break;
    case CMD_IMPORT_SOUNDS:
        importSounds();
        break;
    case CMD_SAVE_SETUP:
        saveSetup();
        break;
    case CMD_SAVE_SETUP_AS:
        saveSetupAs();
        break;
    case CMD_EXIT:
        SendMessageA(mainWindow, WM_CLOSE, wParam, lParam);
        break;
    case CMD_UNDO:
        undoRedo();
        break;
    case CMD_COPY:
        copyKey();
        break;
    case CMD_PASTE:
        pasteKey();
        break;
    case CMD_KEY_PROPERTIES:
        editKeyProperties();
        break;
    case CMD_ALL_KEYS_MONO:
        allKeysMono();
        break;
    case CMD_ALL_KEYS_VOLUME_100:
        allKeysVolume100();
        break;
    case CMD_ALL_KEYS_PITCH_ZERO:
        allKeysPitchZero();
        break;
    case CMD_KILL_ALL_SOUNDS:
        killAllSounds();
        break;
    case CMD_LOW_LATENCY_OUTPUT:
        switchAudioOutput();
        break;
    case CMD_MIDI_VELOCITY:
        switchMidiVelocity();
        break;
    case CMD_MIDI_LEARN:
        switchMidiLearn();
        break;
    case CMD_MIDI_RESET_MAP:
        confirmResetMidiMap();
        break;
    case CMD_RECORD:
        toggleRecording();
        break;
    case CMD_ABOUT:
        showAboutBox();
        break;
    default:
        break;  // panel buttons and the sound list notify here too: nothing to do
    }
}

namespace {

// Whether the item is the menu's own, not one of a submenu's: a search by
// command looks into submenus too.
bool holdsItem(HMENU menu, UINT id) {
    for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i)
        if (GetMenuItemID(menu, i) == id) return true;
    return false;
}

}  // namespace

void prepareMenu(HMENU menu) {
    if (menu == mainMenu) {
        setMenuItemEnabled(CMD_SAVE_SETUP, document.modified);
        return;
    }
    // The device lists are read only as their own submenus open, not the
    // Functions menu above them: its shortcut keys (Kill All, Record), which
    // prepare it, never wait for a listing.
    if (holdsItem(menu, CMD_OUTPUT_DEVICE_FIRST)) refreshOutputDeviceMenu();
    if (holdsItem(menu, CMD_BANK_FIRST)) refreshBankMenu();
    if (holdsItem(menu, CMD_MIDI_RESET_MAP)) refreshMidiInputMenu();
}
