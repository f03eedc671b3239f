#include "panel/panel_redraw.h"

void refreshSelectedKey() {}
void redrawKeyCap(int) {}
void redrawAllKeyCaps() {}
void drawMuteButton() {}
void drawMasterVolumeBar() {}
