// Drawing the front panel's displays, each the moment its value changes,
// from the key bank as it is then; nothing shown is cached. What the logic
// below the panel asks for (keys/key_display.h) and what the panel's editing
// asks for (panel/value_display.h) is defined here too; this header serves
// the main window and the controls' own drawing.
#pragma once

struct TextStyle;

// Background, then everything shown for the selected key and the master volume.
void paintPanel();
// A bank switch is drawn by the main loop once the input that came with it is
// handled (a press right behind F2 sounds before 47 labels are drawn): true
// while one waits, and the drawing itself.
bool bankLookPending();
void drawBankLook();
void drawSelectionFrame();
void drawTriggerLight();
const TextStyle& keyCapStyle(int key);
void drawKeyCapLabel(int key, const TextStyle& style);
