// The selected key's value displays (readout and bar) and its pan knob, as
// the panel's editing gestures change them: drawn by
// panel/panel_redraw_win32.cpp from the key bank as it is then, faked in tests.
#pragma once

void drawNoteDisplay();
void drawFineTuneDisplay();
void drawVolumeDisplay();
void drawPanKnob(int pan);
