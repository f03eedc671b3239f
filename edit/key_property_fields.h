// The Key Properties dialog's fields: their ranges, and the reading of what
// is typed into them.
#pragma once
#include <cstdint>

#include "base/text_sizes.h"

// The fields, in the dialog's tab order.
enum KeyProperty { ChokeGroupProperty, FadeInProperty, FadeOutProperty, StartProperty, EndProperty, KeyPropertyCount };

struct KeyPropertyField {
    const char* label;  // as the dialog shows it and its messages name it
    int32_t lowest;
    int32_t highest;
};
extern const KeyPropertyField KeyPropertyFields[KeyPropertyCount];

// A field's text as its value: false, with the message that says what it
// takes, when the text is no whole number of the field's range (blanks
// around it are allowed).
bool readKeyPropertyText(int field, const char* text, int32_t& value, char message[ShownTextCapacity]);
