#include "panel/panel_graphics_win32.h"

#include <cstring>

#include "base/scoped_win32.h"
#include "panel/bitmap_win32.h"
#include "panel/panel_meters.h"

HBRUSH panelBackBrush;
HBRUSH frameBrush, volumeHotBrush, barEmptyBrush, noteBarBrush, fineTuneBarBrush, volumeBarBrush;
HFONT listFont, readoutFont, keyCapFont;
TextStyle readoutStyle, readoutHotStyle, keyIdleStyle, keyPlayingStyle, keyRunningStyle, keyMutedStyle, keyLoadingStyle;

namespace {

HFONT makePanelFont(int height, const char* face) {
    return CreateFontA(height, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       PROOF_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

}  // namespace

// Made once and kept for the whole run, as are the graphics below.
void createPanelBackBrush() { panelBackBrush = CreateSolidBrush(RGB(0, 51, 0)); }

// Made once and kept for the whole run; Windows frees them with the process.
void createPanelGraphics() {
    backgroundBitmap = loadBitmapResource("background");

    frameBrush = CreateSolidBrush(RGB(255, 255, 0));
    volumeHotBrush = CreateSolidBrush(RGB(255, 0, 0));
    barEmptyBrush = CreateSolidBrush(RGB(0, 34, 0));
    noteBarBrush = CreateSolidBrush(RGB(0, 255, 51));
    fineTuneBarBrush = CreateSolidBrush(RGB(102, 204, 51));
    volumeBarBrush = CreateSolidBrush(RGB(153, 204, 255));

    listFont = makePanelFont(14, "arial");
    readoutFont = makePanelFont(13, "arial");
    keyCapFont = makePanelFont(10, "small fonts");

    readoutStyle = {RGB(0, 102, 0), RGB(0, 200, 0), readoutFont, TA_RIGHT};
    readoutHotStyle = {RGB(102, 0, 0), RGB(255, 0, 0), readoutFont, TA_RIGHT};
    keyIdleStyle = {RGB(0, 49, 0), RGB(255, 255, 0), keyCapFont, TA_LEFT};
    keyPlayingStyle = {RGB(0, 49, 90), RGB(0, 148, 255), keyCapFont, TA_LEFT};
    keyRunningStyle = {RGB(90, 0, 0), RGB(255, 0, 0), keyCapFont, TA_LEFT};
    keyMutedStyle = {RGB(128, 128, 128), RGB(192, 192, 192), keyCapFont, TA_LEFT};
    // A key whose sound is being decoded: grey on the idle cap.
    keyLoadingStyle = {RGB(0, 49, 0), RGB(160, 160, 160), keyCapFont, TA_LEFT};

    if (backgroundBitmap) panelPalette.reset(createPanelPalette(backgroundBitmap));
}

void drawStyledText(HDC dc, const RECT& box, const char* text, const TextStyle& style) {
    SetBkColor(dc, style.background);
    SetTextColor(dc, style.text);
    ScopedSelectObject font(dc, style.font);
    SetTextAlign(dc, style.alignment);
    int x = textReferenceX(style.alignment, box.left, box.right);
    ExtTextOutA(dc, x, box.top, ETO_OPAQUE | ETO_CLIPPED, &box, text, static_cast<UINT>(std::strlen(text)), nullptr);
}
