#include "panel/panel_graphics_win32.h"

#include <cstring>

#include "panel/bitmap_win32.h"
#include "panel/panel_meters.h"

HBRUSH FrameBrush, VolumeHotBrush, BarEmptyBrush, NoteBarBrush, FineTuneBarBrush, VolumeBarBrush;
HFONT ListFont, ReadoutFont, KeyCapFont;
TextStyle ReadoutStyle, ReadoutHotStyle, KeyIdleStyle, KeyPlayingStyle, KeyRunningStyle, KeyMutedStyle;

namespace {

HFONT makePanelFont(int height, const char* face) {
    return CreateFontA(height, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       PROOF_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

}  // namespace

void createPanelGraphics() {
    BackgroundBitmap = loadBitmapResource("background");

    FrameBrush = CreateSolidBrush(RGB(255, 255, 0));
    VolumeHotBrush = CreateSolidBrush(RGB(255, 0, 0));
    BarEmptyBrush = CreateSolidBrush(RGB(0, 34, 0));
    NoteBarBrush = CreateSolidBrush(RGB(0, 255, 51));
    FineTuneBarBrush = CreateSolidBrush(RGB(102, 204, 51));
    VolumeBarBrush = CreateSolidBrush(RGB(153, 204, 255));

    ListFont = makePanelFont(14, "arial");
    ReadoutFont = makePanelFont(13, "arial");
    KeyCapFont = makePanelFont(10, "small fonts");

    ReadoutStyle = {RGB(0, 102, 0), RGB(0, 200, 0), ReadoutFont, TA_RIGHT};
    ReadoutHotStyle = {RGB(102, 0, 0), RGB(255, 0, 0), ReadoutFont, TA_RIGHT};
    KeyIdleStyle = {RGB(0, 49, 0), RGB(255, 255, 0), KeyCapFont, TA_LEFT};
    KeyPlayingStyle = {RGB(0, 49, 90), RGB(0, 148, 255), KeyCapFont, TA_LEFT};
    KeyRunningStyle = {RGB(90, 0, 0), RGB(255, 0, 0), KeyCapFont, TA_LEFT};
    KeyMutedStyle = {RGB(128, 128, 128), RGB(192, 192, 192), KeyCapFont, TA_LEFT};

    if (BackgroundBitmap) PanelPalette = createPanelPalette(BackgroundBitmap);
}

void drawStyledText(HDC dc, const RECT& box, const char* text, const TextStyle& style) {
    SetBkColor(dc, style.background);
    SetTextColor(dc, style.text);
    HGDIOBJ oldFont = SelectObject(dc, style.font);
    SetTextAlign(dc, style.alignment);
    int x = textReferenceX(style.alignment, box.left, box.right);
    ExtTextOutA(dc, x, box.top, ETO_OPAQUE | ETO_CLIPPED, &box, text, static_cast<UINT>(std::strlen(text)), nullptr);
    SelectObject(dc, oldFont);
}
