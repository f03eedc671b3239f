#include "edit/key_properties.h"

#include <cstdio>
#include <cstring>

#include "audio/voice.h"
#include "edit/key_properties_dialog.h"
#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/key_voices.h"
#include "keys/keyboard_map.h"
#include "setup/document.h"

const KeyPropertyField KeyPropertyFields[KeyPropertyCount] = {
    {"Choke group", 0, ChokeGroupCount},           {"Fade in (ms)", 0, LongestFadeMilliseconds},
    {"Fade out (ms)", 0, LongestFadeMilliseconds}, {"Start (ms)", 0, LatestPointMilliseconds},
    {"End (ms)", 0, LatestPointMilliseconds},
};

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Digits alone, so that no sign, point or exponent is taken for part of a number.
bool readWholeNumber(const char* text, int64_t& value) {
    while (isBlank(*text)) ++text;
    int digits = 0;
    value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (++digits > 10) return false;  // more than any range holds
        value = value * 10 + (*text - '0');
    }
    while (isBlank(*text)) ++text;
    return digits > 0 && *text == '\0';
}

void propertiesOf(const KeySettings& key, int32_t values[KeyPropertyCount]) {
    values[ChokeGroupProperty] = key.chokeGroup;
    values[FadeInProperty] = key.fadeInMilliseconds;
    values[FadeOutProperty] = key.fadeOutMilliseconds;
    values[StartProperty] = key.startMilliseconds;
    values[EndProperty] = key.endMilliseconds;
}

void applyProperties(const int32_t values[KeyPropertyCount], KeySettings& key) {
    key.chokeGroup = static_cast<int16_t>(values[ChokeGroupProperty]);
    key.fadeInMilliseconds = static_cast<int16_t>(values[FadeInProperty]);
    key.fadeOutMilliseconds = static_cast<int16_t>(values[FadeOutProperty]);
    key.startMilliseconds = values[StartProperty];
    key.endMilliseconds = values[EndProperty];
}

bool inRange(const int32_t values[KeyPropertyCount]) {
    for (int field = 0; field < KeyPropertyCount; ++field)
        if (values[field] < KeyPropertyFields[field].lowest || values[field] > KeyPropertyFields[field].highest)
            return false;
    return true;
}

}  // namespace

bool readKeyPropertyText(int field, const char* text, int32_t& value, char message[ShownTextCapacity]) {
    const KeyPropertyField& range = KeyPropertyFields[field];
    int64_t number = 0;
    if (readWholeNumber(text, number) && number >= range.lowest && number <= range.highest) {
        value = static_cast<int32_t>(number);
        return true;
    }
    std::snprintf(message, ShownTextCapacity, "%s must be a whole number from %d to %d.", range.label,
                  static_cast<int>(range.lowest), static_cast<int>(range.highest));
    return false;
}

void editKeyProperties() {
    KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    int32_t before[KeyPropertyCount];
    propertiesOf(*slot, before);
    int32_t values[KeyPropertyCount];
    std::memcpy(values, before, sizeof values);
    if (!askKeyProperties(keyName(keyBank.selectedKey), values) || !inRange(values)) return;
    if (std::memcmp(values, before, sizeof values) == 0) return;  // nothing to undo
    takeUndoSnapshot();
    applyProperties(values, *slot);
    document.modified = true;
    bool pointsChanged = values[StartProperty] != before[StartProperty] || values[EndProperty] != before[EndProperty];
    bool fadesChanged =
        values[FadeInProperty] != before[FadeInProperty] || values[FadeOutProperty] != before[FadeOutProperty];
    if (pointsChanged) assignSoundToSelectedKey(slot->soundIndex);
    else if (fadesChanged && slot->voice)
        slot->voice->SetFades(static_cast<uint32_t>(slot->fadeInMilliseconds),
                              static_cast<uint32_t>(slot->fadeOutMilliseconds));
}
