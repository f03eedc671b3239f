// Process-wide handles of the Windows shell, set at start-up.
#pragma once
#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HMENU mainMenu;
extern HBRUSH panelBackBrush;  // RGB(0, 51, 0): window, list and control background

// Sends a key message to the main window, which plays the keys; the system
// forms (keys pressed with Alt) go as plain key-down and key-up messages.
void forwardKeyToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);

// A waitable timer that keeps short waits short: high-resolution where
// Windows has one (10 1803 and later), where a plain wait can last a whole
// 15.6 ms clock tick. Null when no timer can be made.
HANDLE createShortWaitTimer();
// Waits the milliseconds on the timer, or sleeps them without one.
void waitShortly(HANDLE timer, LONG milliseconds);

// Messages the program posts to its own window from other threads, so that
// their work is done on the program's thread.
constexpr UINT OutputLostMessage = WM_APP + 1;  // wParam: the stream's generation
constexpr UINT DefaultOutputChangedMessage = WM_APP + 2;
constexpr UINT OutputEndpointsChangedMessage = WM_APP + 3;
// The MIDI inputs' messages: wParam's high 32 bits hold the message's number
// (app/midi_ports.h), its low ones the packed message; lParam the input's tag.
constexpr UINT MidiInputMessage = WM_APP + 4;
constexpr UINT RecordingEndedMessage = WM_APP + 5;
constexpr UINT MidiInputClosedMessage = WM_APP + 6;  // wParam, lParam: as MidiInputMessage's

// The main window's timers.
constexpr UINT_PTR OutputRetryTimer = 1;
