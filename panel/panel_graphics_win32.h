// The panel's brushes, fonts and text styles, made once at start-up.
#pragma once
#include <windows.h>

struct TextStyle {
    COLORREF background;
    COLORREF text;
    HFONT font;
    UINT alignment;  // TA_LEFT, TA_RIGHT or TA_CENTER
};

// RGB(0, 51, 0): the window's, the list's and the controls' background; made
// before the main window's class, which paints with it.
extern HBRUSH panelBackBrush;
void createPanelBackBrush();

extern HBRUSH frameBrush, volumeHotBrush, barEmptyBrush, noteBarBrush, fineTuneBarBrush, volumeBarBrush;
extern HFONT listFont, readoutFont, keyCapFont;  // listFont: the sound list's rows
extern TextStyle readoutStyle, readoutHotStyle, keyIdleStyle, keyPlayingStyle, keyRunningStyle, keyMutedStyle,
    keyLoadingStyle;

// The "background" bitmap, the panel palette, brushes, fonts and text styles.
void createPanelGraphics();

// The text in the box: the whole box filled with the style's background,
// the text clipped to it.
void drawStyledText(HDC dc, const RECT& box, const char* text, const TextStyle& style);
