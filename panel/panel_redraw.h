// Redraw requests that the key, sound and setup logic make of the panel.
#pragma once

void refreshSelectedKey();
void redrawKeyCap(int key);
void redrawAllKeyCaps();
void drawMuteButton();
void drawMasterVolumeBar();
// Key cap k's label in the idle colours, whatever the key's state.
void drawKeyCapLabelIdle(int key);

// The selected key's value displays (readout and bar) and its pan knob.
void drawNoteDisplay();
void drawFineTuneDisplay();
void drawVolumeDisplay();
void drawPanKnob(int pan);

// Marks a control for repainting, so its released look replaces whatever
// the selected key's frame or light drew over it.
void invalidateKeyCap(int key);
void invalidateTriggerModeButtons();
