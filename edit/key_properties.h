// The Key Properties command (Edit > Key Properties, or a right-click on a
// key cap): the selected key's choke group, fades and start and end points in
// a dialog, applied at OK as one undoable change.
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

// Asks for the selected key's properties. OK with any of them changed marks
// the setup modified, as one step Ctrl+Z undoes; the key gets a fresh voice
// when its points changed, its new fades from its next start.
void editKeyProperties();
