// Platform seam: the Key Properties dialog. Defined in
// edit/key_properties_dialog_win32.cpp, faked in tests.
#pragma once
#include <cstdint>

#include "edit/key_property_fields.h"

// The dialog for the key of that name, showing the values. True at OK, with
// the values as entered, each checked with readKeyPropertyText before the
// dialog closes (a refused one is said and keeps the dialog open); false at
// Cancel, the values untouched.
bool askKeyProperties(const char* keyName, int32_t values[KeyPropertyCount]);
