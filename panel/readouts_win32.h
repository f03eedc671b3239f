// What the panel shows about the selected key and the key caps, drawn the
// moment a value changes.
#pragma once
#include <windows.h>

#include "panel/panel_graphics_win32.h"

void drawSelectionFrame();
void drawTriggerLight();
void drawReadout(int value, const RECT& box, const TextStyle& style);
void drawBarMeter(int rangeTop, int value, const RECT& box, HBRUSH brush);
const TextStyle& keyCapStyle(int key);
void drawKeyCapLabel(int key, const TextStyle& style);
