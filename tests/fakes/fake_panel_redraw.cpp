// Panel redraws recorded as "panel <operation> [key]".
#include <string>

#include "fakes/call_log.h"
#include "keys/key_display.h"
#include "panel/value_display.h"

void refreshSelectedKey() { callLog.push_back("panel refreshSelectedKey"); }
void redrawKeyCap(int key) { callLog.push_back("panel redrawKeyCap " + std::to_string(key)); }
void redrawAllKeyCaps() { callLog.push_back("panel redrawAllKeyCaps"); }
void drawMuteButton() { callLog.push_back("panel drawMuteButton"); }
void drawMasterVolumeBar() { callLog.push_back("panel drawMasterVolumeBar"); }
void drawKeyCapLabelIdle(int key) { callLog.push_back("panel drawKeyCapLabelIdle " + std::to_string(key)); }
void drawNoteDisplay() { callLog.push_back("panel drawNoteDisplay"); }
void drawFineTuneDisplay() { callLog.push_back("panel drawFineTuneDisplay"); }
void drawVolumeDisplay() { callLog.push_back("panel drawVolumeDisplay"); }
void drawPanKnob(int pan) { callLog.push_back("panel drawPanKnob " + std::to_string(pan)); }
void invalidateKeyCap(int key) { callLog.push_back("panel invalidateKeyCap " + std::to_string(key)); }
void invalidateTriggerModeButtons() { callLog.push_back("panel invalidateTriggerModeButtons"); }
void showShownBank() { callLog.push_back("panel showShownBank"); }
