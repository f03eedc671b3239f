#include "library/sound_list_window_win32.h"

#include <cstring>

#include "base/app_handles_win32.h"
#include "base/scoped_win32.h"
#include "library/sound_list_rows.h"
#include "library/sound_list_window.h"
#include "resources/command_ids.h"

HWND soundListWindow = nullptr;

namespace {

WNDPROC listBoxProc = nullptr;
HFONT rowFont = nullptr;

constexpr COLORREF SelectedBack = RGB(155, 155, 155);
constexpr COLORREF SelectedText = RGB(44, 44, 44);
constexpr COLORREF RowBack = RGB(0, 51, 0);
constexpr COLORREF RowText = RGB(22, 200, 18);

LRESULT CALLBACK soundListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
    case WM_CHAR:
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // The keys play whichever control has the focus; typing never moves the selection.
        forwardKeyToMainWindow(message, wParam, lParam);
        return 1;
    case WM_KEYUP:
        forwardKeyToMainWindow(message, wParam, lParam);
        break;
    case WM_LBUTTONUP:
        // The entry under the click is selected by now: the owner gives it to the key.
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(SOUND_LIST_ID, SoundListClicked),
                     reinterpret_cast<LPARAM>(window));
        break;
    default:
        break;
    }
    return CallWindowProcA(listBoxProc, window, message, wParam, lParam);
}

}  // namespace

void createSoundList(HFONT font, HBRUSH background) {
    rowFont = font;
    soundListWindow =
        CreateWindowExA(0, "LISTBOX", "soundList",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWFIXED |
                            LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT,
                        461, 2, 141, 323, mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(SOUND_LIST_ID)),
                        appInstance, nullptr);
    SetClassLongPtrA(soundListWindow, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorA(appInstance, "LISTCUR")));
    SetClassLongPtrA(soundListWindow, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(background));
    listBoxProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(soundListWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(soundListProc)));
    soundListInsertAt(0, "No Sounds Loaded.wav");
}

void drawSoundListItem(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    ScopedSelectObject font(dc, rowFont);
    if (!(item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return;  // no focus rectangle, ever
    int index = static_cast<int>(item->itemID);
    char name[PathCapacity];
    if (index < 0 || !soundListText(index, name)) return;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    SetBkColor(dc, selected ? SelectedBack : RowBack);
    SetTextColor(dc, selected ? SelectedText : RowText);
    char text[RowTextCapacity];
    soundListRowText(index, name, text);
    RECT area = item->rcItem;
    ExtTextOutA(dc, area.left, area.top, ETO_OPAQUE | ETO_CLIPPED, &area, text, static_cast<UINT>(std::strlen(text)),
                nullptr);
}

int soundListCount() {
    LRESULT count = SendMessageA(soundListWindow, LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

bool soundListText(int index, char text[PathCapacity]) {
    LRESULT length = SendMessageA(soundListWindow, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length >= PathCapacity) return false;
    return SendMessageA(soundListWindow, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)) !=
           LB_ERR;
}

int soundListSelection() {
    LRESULT selection = SendMessageA(soundListWindow, LB_GETCURSEL, 0, 0);
    return selection == LB_ERR ? NoSelection : static_cast<int>(selection);
}

void soundListSelect(int index) { SendMessageA(soundListWindow, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void soundListClear() { SendMessageA(soundListWindow, LB_RESETCONTENT, 0, 0); }

void soundListInsertAt(int index, const char* name) {
    SendMessageA(soundListWindow, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name));
}

void soundListHoldDrawing(bool held) {
    SendMessageA(soundListWindow, WM_SETREDRAW, held ? FALSE : TRUE, 0);
    if (!held) InvalidateRect(soundListWindow, nullptr, TRUE);
}

int compareSoundNames(const char* a, const char* b) { return lstrcmpiA(a, b); }
