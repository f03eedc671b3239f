// The sound list window as the main window makes and draws it (its queries
// are in library/sound_list_window.h).
#pragma once
#include <windows.h>

extern HWND soundListWindow;

void createSoundList();
void drawSoundListItem(const DRAWITEMSTRUCT* item);
