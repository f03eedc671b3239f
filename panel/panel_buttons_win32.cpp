#include "panel/panel_buttons_win32.h"

#include "base/app_handles_win32.h"
#include "base/scoped_win32.h"
#include "keys/key_bank.h"
#include "panel/panel_actions.h"
#include "panel/panel_graphics_win32.h"
#include "panel/panel_layout.h"

namespace {

PanelButton* panelButtons[PanelButtonCount];  // by id - 6001
PanelButton* keyCaps[KeyCount];               // by key index
PanelButton* panKnob;
WNDPROC standardButtonProc;  // the one the button class gave every control
HCURSOR mainCursor;
HCURSOR listCursor;

PanelButton* createFromInfo(const PanelControlInfo& control) {
    return createPanelButton(control.x, control.y, control.image, control.cursor, control.id, control.actsOnPress);
}

// Right after the fourth trigger-mode button is made.
void loadLitImages() {
    for (int i = 0; i < TriggerModeButtonCount; ++i) {
        int id = FirstTriggerModeButtonId + i;
        PanelButton* button = panelButtons[id - FirstPanelButtonId];
        const PanelControlInfo* info = findPanelControlInfo(id);
        if (button && info) button->litImage = loadBitmapResource(info->litImage);
    }
}

// Paints the pressed look at once and runs the action before the standard
// handling takes the capture: the press-and-hold actions return only when
// the button is up again.
void actOnPress(PanelButton& button, HWND window) {
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(button.id);
    item.itemID = 0;
    item.itemAction = ODA_SELECT;
    item.itemState = ODS_SELECTED;
    item.hwndItem = window;
    ScopedGetDC dc(window);
    item.hDC = dc;
    item.rcItem = button.rectangle;
    item.itemData = 0;
    SendMessageA(mainWindow, WM_DRAWITEM, static_cast<WPARAM>(button.id), reinterpret_cast<LPARAM>(&item));
    SendMessageA(window, WM_COMMAND, static_cast<WPARAM>(button.id), 0);
}

bool isChildWindow(HWND window) { return window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0; }

}  // namespace

PanelButton* createPanelButton(int x, int y, const char* imageName, const char* cursorName, int id, bool actsOnPress) {
    PanelBitmap pressed = loadBitmapResource(imageName);
    if (!pressed) return nullptr;
    auto* button = new PanelButton;  // kept for the whole run
    button->pressedImage = pressed;
    button->x = x;
    button->y = y;
    SIZE size = bitmapSize(pressed);
    button->rectangle = RECT{x, y, x + size.cx, y + size.cy};
    button->window =
        CreateWindowExA(WS_EX_TRANSPARENT, "BUTTON", "button", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, size.cx,
                        size.cy, mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), appInstance, nullptr);
    button->cursor = LoadCursorA(appInstance, cursorName);
    // Class-wide, so simply set again for every control.
    SetClassLongPtrA(button->window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(mainCursor));
    SetClassLongPtrA(button->window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(panelBackBrush));
    button->id = id;
    button->actsOnPress = actsOnPress;
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(panelButtonProc)));
    if (previous && previous != panelButtonProc) standardButtonProc = previous;
    return button;
}

void createPanel() {
    mainCursor = LoadCursorA(appInstance, "MAINCUR");
    listCursor = LoadCursorA(appInstance, "LISTCUR");
    for (const PanelControlInfo& control : PanelButtonInfos) {
        panelButtons[control.id - FirstPanelButtonId] = createFromInfo(control);
        if (control.id == FirstTriggerModeButtonId + TriggerModeButtonCount - 1) loadLitImages();
    }
    for (int k = 0; k < KeyCount; ++k) keyCaps[k] = createFromInfo(keyCapInfo(k));
    panKnob = createFromInfo(PanKnobInfo);
}

PanelButton* panelControl(int id, bool perform) {
    PanelButton* button = nullptr;
    if (id >= FirstPanelButtonId && id <= LastPanelButtonId) button = panelButtons[id - FirstPanelButtonId];
    else if (isKeyCapId(id)) button = keyCaps[keyOfKeyCapId(id)];
    else if (id == PanKnobId) button = panKnob;
    if (perform) performPanelAction(id);
    return button;
}

LRESULT CALLBACK panelButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PanelButton* button = panelControl(GetDlgCtrlID(window), false);
    switch (message) {
    case WM_LBUTTONDOWN:
        if (button && button->actsOnPress) actOnPress(*button, window);
        break;
    case WM_LBUTTONUP:
        if (button && !button->actsOnPress) {
            const RECT& r = button->rectangle;
            if (releaseInsideControl(static_cast<uint32_t>(lParam), PanelRect{r.left, r.top, r.right, r.bottom}))
                SendMessageA(window, WM_COMMAND, static_cast<WPARAM>(button->id), 0);
        }
        break;
    case WM_RBUTTONUP:
        if (button) performPanelRightClick(button->id);
        break;
    case WM_LBUTTONDBLCLK:
        // A double click is a second press; the standard procedure never sees it.
        SendMessageA(window, WM_LBUTTONDOWN, wParam, lParam);
        return 1;
    case WM_COMMAND:
        panelControl(LOWORD(wParam), true);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // The performance keys keep playing while a control has the focus.
        forwardKeyToMainWindow(message, wParam, lParam);
        break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // Alt plays and mutes keys; it never reaches the menu through a control.
        forwardKeyToMainWindow(message, wParam, lParam);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    if (!standardButtonProc) return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(standardButtonProc, window, message, wParam, lParam);
}

BOOL setPanelCursor(HWND windowUnderPointer) {
    // A top-level window's id field holds its menu: only children have ids.
    long long id = isChildWindow(windowUnderPointer) ? GetDlgCtrlID(windowUnderPointer) : 0;
    HCURSOR cursor = mainCursor;
    switch (cursorChoiceForId(id)) {
    case CursorChoice::ControlCursor: {
        PanelButton* button = panelControl(static_cast<int>(id), false);
        if (button && button->cursor) cursor = button->cursor;
        break;
    }
    case CursorChoice::ListCursor:
        cursor = listCursor;
        break;
    case CursorChoice::MainCursor:
        break;
    }
    SetCursor(cursor);
    return TRUE;
}

void paintIntoControl(const PanelButton& button, const PanelBitmap& bitmap, int x, int y) {
    InvalidateRect(button.window, nullptr, FALSE);
    drawBitmap(bitmap, button.window, x, y, panelPalette.get());
}

void paintBackgroundBehind(const PanelButton& button) {
    paintIntoControl(button, backgroundBitmap, -button.x, -button.y);
}
