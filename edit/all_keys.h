// The All Keys commands of the Functions menu: each changes every key at
// once as one undoable step and marks the setup modified. A volume is heard at
// once, a pan or fine tune from each key's next start, as the panel's own edits
// are; no sounding key is cut, and the selected key stays selected. Notes are
// the instrument's layout and are left alone.
#pragma once

// Every key's pan centred.
void allKeysMono();
// Every key's volume 100.
void allKeysVolume100();
// Every key's fine tune 0.
void allKeysPitchZero();
