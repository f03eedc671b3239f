// Panel redraws recorded as "panel <operation> [key]".
#include <string>

#include "fakes/call_log.h"
#include "panel/panel_redraw.h"

void refreshSelectedKey() { callLog.push_back("panel refreshSelectedKey"); }
void redrawKeyCap(int key) { callLog.push_back("panel redrawKeyCap " + std::to_string(key)); }
void redrawAllKeyCaps() { callLog.push_back("panel redrawAllKeyCaps"); }
void drawMuteButton() { callLog.push_back("panel drawMuteButton"); }
void drawMasterVolumeBar() { callLog.push_back("panel drawMasterVolumeBar"); }
