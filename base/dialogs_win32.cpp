#include "base/dialogs.h"

#include <windows.h>

#include "base/app_handles_win32.h"
#include "resources/command_ids.h"

namespace {

void setMainCursor() { SetCursor(LoadCursorA(appInstance, "MAINCUR")); }

INT_PTR CALLBACK messageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, reinterpret_cast<const char*>(lParam));
        return TRUE;  // the default button takes the focus
    case WM_SETCURSOR:
        setMainCursor();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDC_SAVE:
            EndDialog(dialog, AnswerOk);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, AnswerCancel);
            return TRUE;
        case IDC_DONT_SAVE:
            EndDialog(dialog, AnswerDontSave);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

int runMessageDialog(const char* templateName, const char* text) {
    return static_cast<int>(
        DialogBoxParamA(appInstance, templateName, mainWindow, messageDialogProc, reinterpret_cast<LPARAM>(text)));
}

INT_PTR CALLBACK aboutBoxProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SHOWWINDOW:
        // Every click anywhere on the screen comes here and closes the box.
        SetCapture(dialog);
        return TRUE;
    case WM_SETCURSOR:
        setMainCursor();
        return TRUE;
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int showMessage(const char* text) { return runMessageDialog("OKDLG", text); }
int askOkCancel(const char* text) { return runMessageDialog("OKCANCELDLG", text); }
int askSaveChanges(const char* text) { return runMessageDialog("SAVECHANGESDLG", text); }

void showAboutBox() { DialogBoxParamA(appInstance, "ABOUTBOX", mainWindow, aboutBoxProc, 0); }
