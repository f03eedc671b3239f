#include "edit/key_property_fields.h"

#include <cstdio>

#include "keys/key_bank.h"

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
