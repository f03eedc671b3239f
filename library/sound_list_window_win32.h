// The sound list window as the main window makes and draws it (its queries
// are in library/sound_list_window.h).
#pragma once
#include <windows.h>

extern HWND soundListWindow;

// What the list tells its owner, in a WM_COMMAND of its control id: a click
// released on an entry, which is selected by then.
constexpr WORD SoundListClicked = 0x100;

// Rows drawn in the font on the background brush, both the owner's and kept
// for the whole run.
void createSoundList(HFONT font, HBRUSH background);
void drawSoundListItem(const DRAWITEMSTRUCT* item);
