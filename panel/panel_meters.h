// The arithmetic behind the panel's displays: bar meters, the pan knob,
// readout and key cap texts and the key cap colours. Values come from setup
// files as any 16-bit number; in-range values give the panel's exact pixels,
// out-of-range ones still stay inside their display.
#pragma once
#include <cstdint>

#include "panel/panel_layout.h"

// The y where a bar meter's filled part begins, top..bottom: the empty part
// is top..split, the filled part split..bottom. Every bar's range starts at 0.
int barSplit(int rangeTop, int value, int top, int bottom);

// What one of the selected key's value displays shows.
struct ValueDisplay {
    int readoutValue;
    int barRangeTop;
    int barValue;
    bool hot;  // volume above 100: red readout and bar
};
ValueDisplay noteDisplay(int note);
ValueDisplay fineTuneDisplay(int fineTune);
ValueDisplay volumeDisplay(int volume);

// Left edge of the pan knob on its track, 184 (pan 0) .. 244 (pan 200).
int panKnobX(int pan);
enum class PanKnobImage { Left, Centre, Right };
PanKnobImage panKnobImage(int pan);
const char* panKnobImageName(PanKnobImage image);

constexpr int ShortTextCapacity = 16;
// " %d": a space, then the signed number.
void formatReadout(int value, char text[ShortTextCapacity]);
// The key cap shows the sound's list position counted from 1.
void formatKeyCapLabel(int soundIndex, char text[ShortTextCapacity]);
// What key cap shows: "..." while its sound is loading, "*" for a file of
// its own, else its list position.
void formatKeyCapText(int soundIndex, bool ownFile, bool loading, char text[ShortTextCapacity]);

enum class KeyCapLook { Idle, Playing, Running, Muted };
KeyCapLook keyCapLook(int triggerMode, bool playing, bool muted);

// Text alignment codes as the device context takes them.
constexpr unsigned AlignLeft = 0;
constexpr unsigned AlignRight = 2;
constexpr unsigned AlignCentre = 6;
// Horizontal reference point of text drawn into a box.
int textReferenceX(unsigned alignment, int left, int right);

// The sound-list entry to select for a key's sound index; -1 for none.
int soundListEntryForKey(int soundIndex, int entryCount);
