// Redraw requests that the key, sound and setup logic make of the panel.
#pragma once

void refreshSelectedKey();
void redrawKeyCap(int key);
void redrawAllKeyCaps();
void drawMuteButton();
void drawMasterVolumeBar();
