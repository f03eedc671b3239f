// The panel's editing gestures on the selected key: the press-and-hold value
// buttons, the trigger-mode buttons, the master volume buttons and the pan
// knob drag. The held gestures poll the mouse button without handling window
// messages and return once it is up.
#pragma once
#include <cstdint>

enum class ValueButton { Up, Down, Reset };

// Up and Down step at the press and, while the button is held, again from
// 200 ms on at the field's interval; the repeat stops at the unity value.
// Reset sets the unity value. Each press marks the setup modified and takes
// the Undo snapshot first, once. Ctrl at the press means the large step.
void editNote(ValueButton button);      // 1..127, unity 60, steps 1 and 12
void editFineTune(ValueButton button);  // -100..100, unity 0, steps 1 and 10
// 0..400, unity 100, steps 1 and 10; heard at every step unless the key is muted.
void editVolume(ValueButton button);

// Marks the setup modified, takes the Undo snapshot and gives the selected
// key the code, whatever it had; its voice is left as it is.
void setTriggerModeFromPanel(int16_t code);

enum class MasterVolumeButton { Up, Down };
// One step within 0..10 per click, heard on every unmuted key. Marks the
// setup modified; takes no Undo snapshot.
void stepMasterVolume(MasterVolumeButton button);

// The knob follows the pointer while the button is held; the key's pan is
// stored at the release. Neither marks the setup modified nor takes a
// snapshot. pointerX is the pointer's screen position at the press.
void dragPan(int startPan, int pointerX);
// The pan a drag of dx pixels (a 16-bit signed distance) gives: 10/3 pan
// units per pixel, truncated toward zero, kept in 1..200, and 100 anywhere
// strictly between 85 and 115.
int panAfterDrag(int startPan, int16_t dx);
