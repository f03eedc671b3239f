// The sound list window.
#pragma once
#include <windows.h>

extern HWND soundListWindow;

void createSoundList();
void drawSoundListItem(const DRAWITEMSTRUCT* item);
