// Drawing the front panel's displays, each the moment its value changes,
// from the key bank as it is then; nothing shown is cached. The first group
// is what the key, sound, setup and editing logic ask for (faked in the unit
// tests); the rest serves the main window and the controls' own drawing.
#pragma once

struct TextStyle;

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

// Background, then everything shown for the selected key and the master volume.
void paintPanel();
void drawSelectionFrame();
void drawTriggerLight();
const TextStyle& keyCapStyle(int key);
void drawKeyCapLabel(int key, const TextStyle& style);
