#include "edit/key_properties_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdio>

#include "base/app_handles_win32.h"
#include "base/text_sizes.h"
#include "resources/command_ids.h"

namespace {

constexpr int FieldTextCapacity = 32;

struct DialogState {
    const char* keyName;
    const char* soundText;
    int32_t* values;
    bool clearSound;
};

int editOf(int field) { return IDC_KEY_PROPERTY_FIRST + field; }
int spinOf(int field) { return IDC_KEY_PROPERTY_SPIN_FIRST + field; }

void showValues(HWND dialog, const DialogState& state) {
    char title[ShownTextCapacity];
    std::snprintf(title, sizeof title, "Key Properties - %s", state.keyName);
    SetWindowTextA(dialog, title);
    for (int field = 0; field < KeyPropertyCount; ++field) {
        SendDlgItemMessageA(dialog, spinOf(field), UDM_SETRANGE32, static_cast<WPARAM>(KeyPropertyFields[field].lowest),
                            static_cast<LPARAM>(KeyPropertyFields[field].highest));
        char text[FieldTextCapacity];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(state.values[field]));
        SetDlgItemTextA(dialog, editOf(field), text);
    }
    SetDlgItemTextA(dialog, IDC_KEY_SOUND, state.soundText);
}

// Every field read before any value is given back: a refused one is said,
// and the dialog stays open on it with its text selected.
bool takeValues(HWND dialog, const DialogState& state) {
    int32_t read[KeyPropertyCount];
    for (int field = 0; field < KeyPropertyCount; ++field) {
        char text[FieldTextCapacity] = "";
        GetDlgItemTextA(dialog, editOf(field), text, sizeof text);
        char message[ShownTextCapacity];
        if (!readKeyPropertyText(field, text, read[field], message)) {
            MessageBoxA(dialog, message, "Key Properties", MB_OK | MB_ICONEXCLAMATION);
            HWND edit = GetDlgItem(dialog, editOf(field));
            SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
            return false;
        }
    }
    for (int field = 0; field < KeyPropertyCount; ++field) state.values[field] = read[field];
    return true;
}

INT_PTR CALLBACK keyPropertiesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        showValues(dialog, *reinterpret_cast<DialogState*>(lParam));
        return TRUE;  // the first field takes the focus, its text selected
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (state && takeValues(dialog, *state)) EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_KEY_CLEAR_SOUND:
            if (state) state->clearSound = true;
            SetDlgItemTextA(dialog, IDC_KEY_SOUND, "(none)");
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

bool askKeyProperties(const char* keyName, const char* soundText, int32_t values[KeyPropertyCount], bool& clearSound) {
    DialogState state = {keyName, soundText, values, false};
    bool ok = DialogBoxParamA(appInstance, "KEYPROPERTIESDLG", mainWindow, keyPropertiesProc,
                              reinterpret_cast<LPARAM>(&state)) == IDOK;
    clearSound = ok && state.clearSound;
    return ok;
}
