// The entry point and the main window with its message table.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>
#include <string>
#include <vector>

#include "audio/audio_output.h"
#include "base/app_handles_win32.h"
#include "base/menu.h"
#include "base/scoped_win32.h"
#include "flows/dropped_sounds.h"
#include "flows/outside_files.h"
#include "flows/recording.h"
#include "flows/setup_commands.h"
#include "flows/start_up.h"
#include "keys/key_voices.h"
#include "keys/keyboard_map.h"
#include "library/sound_list_window_win32.h"
#include "midi/midi_input.h"
#include "midi/midi_learn.h"
#include "panel/bitmap_win32.h"
#include "panel/button_look_win32.h"
#include "panel/panel_buttons_win32.h"
#include "panel/panel_graphics_win32.h"
#include "panel/panel_layout.h"
#include "panel/panel_redraw.h"
#include "resources/command_ids.h"
#include "setup/document.h"
#include "setup/window_title.h"
#include "shell/commands_win32.h"
#include "shell/file_type.h"
#include "shell/main_loop_win32.h"
#include "shell/program_messages_win32.h"
#include "sound_files/decoding_thread.h"

namespace {

constexpr int ClientWidth = 604;
constexpr int ClientHeight = 327;

constexpr COLORREF ListTextColour = RGB(0, 200, 0);
constexpr int RowHeight = 14;

constexpr int ExitNoWindowClass = 2;
constexpr int ExitNoMainWindow = 3;

// Names are taken whole, however long, so that a name too long to open is
// refused rather than cut into the name of another file.
std::vector<std::string> droppedNames(HDROP drop) {
    std::vector<std::string> names;
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::vector<char> name(length + 1, '\0');
        if (length > 0) DragQueryFileA(drop, i, name.data(), length + 1);
        names.emplace_back(name.data());
    }
    return names;
}

// Sound files dropped on a key cap go to the keys; any other drop opens its
// first file, when that is a setup.
void takeDroppedFiles(HDROP drop) {
    POINT point = {-1, -1};
    bool inClientArea = DragQueryPoint(drop, &point) != 0;
    std::vector<std::string> names = droppedNames(drop);
    DragFinish(drop);
    if (names.empty()) return;
    int key = inClientArea ? keyCapAt(point.x, point.y) : -1;
    if (dropSoundFilesOnKey(key, names)) return;
    if (!names[0].empty()) openExternalFile(names[0].c_str());
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paintPanel();
        return 0;
    case WM_CLOSE:
        if (confirmSaveChanges() != SaveChangesResult::Proceed) return 0;
        endRecording();  // its file complete, while a message can still be shown
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        deletePanelPalette();
        stopDecodingThread();
        releaseAllSounds();
        PostQuitMessage(0);
        return 0;
    case WM_SETCURSOR:
        return setPanelCursor(reinterpret_cast<HWND>(wParam));
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_BUTTON) drawPanelButtonItem(item);
        else if (wParam != 0) drawSoundListItem(item);
        return 0;
    }
    case WM_MEASUREITEM:
        if (wParam != 0) reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = RowHeight;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) cancelMidiLearn();
        onKeyDownMessage(static_cast<unsigned>(wParam), static_cast<uint32_t>(lParam));
        return 1;
    case WM_KEYUP:
        onKeyUpMessage(static_cast<unsigned>(wParam));
        return 1;
    case WM_ACTIVATE:
        // Another window takes the keyboard (a dialog of ours or another
        // program): the key-ups of the keys held now will go there.
        if (LOWORD(wParam) == WA_INACTIVE) {
            releaseHeldKeys();
            cancelMidiLearn();
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PARENTNOTIFY:
        // A click on a key cap, a panel control or the sound list.
        if (LOWORD(wParam) == WM_LBUTTONDOWN || LOWORD(wParam) == WM_RBUTTONDOWN) cancelMidiLearn();
        return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // Alt plays and mutes keys; it never opens the menu or closes the window.
        forwardKeyToMainWindow(message, wParam, lParam);
        return 0;
    case WM_COMMAND:
        runCommand(LOWORD(wParam), wParam, lParam);
        return 0;
    case WM_ENTERIDLE:
        // A dialog or menu of ours has run out of messages: a bank switched
        // meanwhile (a program change) is shown now, not when it closes.
        if (bankLookPending()) drawBankLook();
        return 0;
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
        prepareMenu(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ListTextColour);
        return reinterpret_cast<LRESULT>(panelBackBrush);
    }
    case WM_LBUTTONDOWN:
        cancelMidiLearn();
        SetCapture(window);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_DEVICECHANGE:
        // Every top-level window hears of devices coming and going: the MIDI
        // inputs follow them.
        if (wParam == DBT_DEVNODES_CHANGED) onMidiDevicesChanged();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DROPFILES:
        takeDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_QUERYNEWPALETTE:
        realizePanelPalette();
        InvalidateRect(window, nullptr, FALSE);
        paintPanel();
        return 0;
    case WM_PALETTECHANGED:
        realizePanelPalette();
        return 0;
    default:
        if (handleProgramMessage(message, wParam, lParam)) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The class, its icons and its cursor are kept for the whole run.
bool registerMainWindowClass(HCURSOR mainCursor) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = LoadIconA(appInstance, "APPICON");
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(appInstance, "APPICON", IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = mainCursor;
    windowClass.hbrBackground = panelBackBrush;
    windowClass.lpszMenuName = "MAINMENU";
    windowClass.lpszClassName = "Quillpad";
    return RegisterClassExA(&windowClass) != 0;
}

// Makes the client area exactly 604 x 327, whatever the frame metrics are.
void sizeClientArea() {
    RECT outer, client;
    GetWindowRect(mainWindow, &outer);
    GetClientRect(mainWindow, &client);
    int width = (outer.right - outer.left) + (ClientWidth - client.right);
    int height = (outer.bottom - outer.top) + (ClientHeight - client.bottom);
    SetWindowPos(mainWindow, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool centreMainWindow(HWND window) {
    RECT outer;
    GetWindowRect(window, &outer);
    ScopedGetDC screen(nullptr);
    int screenWidth = GetDeviceCaps(screen, HORZRES);
    int screenHeight = GetDeviceCaps(screen, VERTRES);
    int x = screenWidth / 2 - (outer.right - outer.left) / 2;
    int y = screenHeight / 2 - (outer.bottom - outer.top) / 2;
    return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER) != 0;
}

void createPanelResources() {
    createPanelGraphics();
    mainMenu = GetMenu(mainWindow);  // the class's "MAINMENU"
    for (int id : {CMD_SAVE_SETUP, CMD_UNDO, CMD_PASTE}) setMenuItemEnabled(id, false);
    createSoundList(listFont, panelBackBrush);
    createPanel();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showState) {
    appInstance = instance;
    // The up-down arrows of the Key Properties dialog.
    INITCOMMONCONTROLSEX commonControls = {sizeof commonControls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&commonControls);
    // The program's thread lists and watches the output endpoints for the whole run.
    ScopedComLibrary comLibrary;
    HCURSOR mainCursor = LoadCursorA(instance, "MAINCUR");
    createPanelBackBrush();
    // A start that could not make its window is no success: the exit code says
    // which step failed.
    if (!registerMainWindowClass(mainCursor)) return ExitNoWindowClass;

    mainWindow = CreateWindowExA(0, "Quillpad", "Quillpad Beta A", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 20, 20,
                                 ClientWidth, ClientHeight, nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return ExitNoMainWindow;
    sizeClientArea();
    centreMainWindow(mainWindow);

    createPanelResources();
    startInstrument();
    startMidiInput();
    ShowWindow(mainWindow, showState);
    UpdateWindow(mainWindow);
    HACCEL accelerators = LoadAcceleratorsA(instance, "accelerators");
    registerFileType();
    DragAcceptFiles(mainWindow, TRUE);
    if (commandLine && commandLine[0] != '\0') openCommandLineFile(commandLine);

    int exitCode = runMainLoop(accelerators);
    stopMidiInput();
    // Last of all: Wine may crash at exit while the device is still held.
    closeAudioOutput();
    return exitCode;
}

void setMainWindowTitle(const char* title) { SetWindowTextA(mainWindow, title); }
