// What the key logic, and the editing and setup logic above it, show as they
// change a key: declared here, drawn by the front panel
// (panel/panel_redraw_win32.cpp) from the key bank as it is then, faked in
// tests. Nothing shown is cached.
#pragma once

void refreshSelectedKey();
void redrawKeyCap(int key);
void redrawAllKeyCaps();
void drawMuteButton();
void drawMasterVolumeBar();
// Key cap k's label in the idle colours, whatever the key's state.
void drawKeyCapLabelIdle(int key);
// Marks a control for repainting, so its released look replaces whatever
// the selected key's frame or light drew over it.
void invalidateKeyCap(int key);
void invalidateTriggerModeButtons();
// Another bank is shown: every cap, the selected key's displays and trigger
// buttons, and the window title, which names the bank.
void showShownBank();
