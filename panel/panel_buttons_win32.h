// The 71 bitmap push controls of the front panel: making them, finding them
// by id, their window procedure and cursors.
#pragma once
#include <windows.h>

#include "panel/bitmap_win32.h"

struct PanelButton {
    HWND window = nullptr;
    int x = 0, y = 0;      // creation position; the pan knob moves, these stay
    RECT rectangle = {};   // (x, y, x + image width, y + image height)
    PanelBitmap litImage;  // trigger-mode buttons only
    PanelBitmap pressedImage;
    HCURSOR cursor = nullptr;
    int id = 0;
    bool actsOnPress = false;
};

// The 71 controls in creation order.
void createPanel();
// Nullptr when the pressed image could not be loaded; no window is made then.
PanelButton* createPanelButton(int x, int y, const char* imageName, const char* cursorName, int id, bool actsOnPress);
// The control of an id, or nullptr; with perform, its action runs first.
PanelButton* panelControl(int id, bool perform);
LRESULT CALLBACK panelButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sets the cursor for the window under the pointer; always handled.
BOOL setPanelCursor(HWND windowUnderPointer);

// Paints a bitmap into a control at once: the control is invalidated first
// so the paint cycle covers all of it.
void paintIntoControl(const PanelButton& button, const PanelBitmap& bitmap, int x, int y);
// The stretch of panel background lying behind the control.
void paintBackgroundBehind(const PanelButton& button);
