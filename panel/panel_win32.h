// What the main window asks of the front panel.
#pragma once
#include <windows.h>

// The "background" bitmap, the panel palette, brushes, fonts and text styles.
void createPanelGraphics();
// The 71 bitmap controls and the readout rectangles.
void createPanel();
// Background, then everything shown for the selected key and the master volume.
void paintPanel();
// Owner-draw request of a panel control (control type button).
void drawPanelButtonItem(const DRAWITEMSTRUCT* item);
// Sets the cursor for the window under the pointer; always handled.
BOOL setPanelCursor(HWND windowUnderPointer);
void realizePanelPalette();
void deletePanelPalette();

extern HFONT ListFont;  // the sound list's rows
