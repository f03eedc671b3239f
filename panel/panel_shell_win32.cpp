// Minimal panel until the bitmap front panel lands: a plain background.
#include "panel/panel_win32.h"

#include "app/app_win32.h"

HFONT ListFont = nullptr;

void createPanelGraphics() {
    ListFont = CreateFontA(14, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_SWISS, "arial");
}
void createPanel() {}
void paintPanel() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(mainWindow, &paint);
    RECT client;
    GetClientRect(mainWindow, &client);
    FillRect(dc, &client, PanelBackBrush);
    EndPaint(mainWindow, &paint);
}
void drawPanelButtonItem(const DRAWITEMSTRUCT*) {}
BOOL setPanelCursor(HWND) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}
void realizePanelPalette() {}
void deletePanelPalette() {}
