// How each panel control looks pushed and released.
#pragma once
#include <windows.h>

struct PanelButton;

// Paints the pressed or released look for an owner-draw action and state.
void drawPanelButton(PanelButton& button, UINT action, UINT state);
// Owner-draw request of a panel control (control type button).
void drawPanelButtonItem(const DRAWITEMSTRUCT* item);
