#include "panel/panel_meters.h"

#include <algorithm>
#include <cstdio>

#include "keys/key_bank.h"

int barSplit(int rangeTop, int value, int top, int bottom) {
    if (rangeTop <= 0 || bottom <= top) return top;
    long long scale = (static_cast<long long>(bottom) * 100 - static_cast<long long>(top) * 100) / rangeTop;
    // The filled height is kept in 16 bits, as the bar has always done; a
    // wrapped or negative height from an out-of-range value is caught below.
    auto filled = static_cast<int16_t>((scale + 2) * value / 100);
    int split = bottom - filled > top ? bottom - filled : top;
    // A negative height would reach below the bar onto the panel.
    return std::min(split, bottom);
}

ValueDisplay noteDisplay(int note) { return {note - 60, 127, note, false}; }
ValueDisplay fineTuneDisplay(int fineTune) { return {fineTune, 200, fineTune + 100, false}; }
ValueDisplay volumeDisplay(int volume) { return {volume, 400, volume, volume > 100}; }

int panKnobX(int pan) {
    // Pans outside 0..200 come only from damaged setup files; the knob then
    // rests at the end of its track rather than leaving it.
    int onTrack = std::clamp(pan, 0, 200);
    return 184 + 3 * (onTrack / 2) / 5;
}

PanKnobImage panKnobImage(int pan) {
    if (pan < 100) return PanKnobImage::Left;
    if (pan == 100) return PanKnobImage::Centre;
    return PanKnobImage::Right;
}

const char* panKnobImageName(PanKnobImage image) {
    switch (image) {
    case PanKnobImage::Left:
        return "PANLEFT";
    case PanKnobImage::Centre:
        return "PANCENTER";
    case PanKnobImage::Right:
        return "PANRIGHT";
    }
    return "PANCENTER";
}

void formatReadout(int value, char text[ShortTextCapacity]) { std::snprintf(text, ShortTextCapacity, " %d", value); }

void formatKeyCapLabel(int soundIndex, char text[ShortTextCapacity]) {
    std::snprintf(text, ShortTextCapacity, "%d", soundIndex + 1);
}

void formatKeyCapText(int soundIndex, bool ownFile, bool loading, char text[ShortTextCapacity]) {
    if (loading) std::snprintf(text, ShortTextCapacity, "...");
    else if (ownFile) std::snprintf(text, ShortTextCapacity, "*");
    else formatKeyCapLabel(soundIndex, text);
}

KeyCapLook keyCapLook(int triggerMode, bool playing, bool muted) {
    bool latched = triggerMode == ToggleStopRunning || triggerMode == ToggleFinishRunning;
    if (latched || playing) {
        if (muted) return KeyCapLook::Muted;
        return latched ? KeyCapLook::Running : KeyCapLook::Playing;
    }
    return KeyCapLook::Idle;
}

int textReferenceX(unsigned alignment, int left, int right) {
    if (alignment == AlignRight) return right - 2;
    if (alignment == AlignCentre) return left + (right - left) / 2;
    return left + 2;
}

int soundListEntryForKey(int soundIndex, int entryCount) {
    return soundIndex >= 0 && soundIndex < entryCount ? soundIndex : -1;
}
