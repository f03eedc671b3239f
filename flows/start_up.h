// The instrument's start, once the panel exists.
#pragma once

// Opens the output, gives the keys their start-up values and shows the
// selected key on the panel.
void startInstrument();
