// Platform seam: the Key Properties dialog. Defined in
// edit/key_properties_dialog_win32.cpp, faked in tests.
#pragma once
#include <cstdint>

#include "edit/key_property_fields.h"

// The dialog for the key of that name, showing the values and the key's
// sound (its own file's path, or its list entry), which its Clear button
// takes away. True at OK, with the values as entered, each checked with
// readKeyPropertyText before the dialog closes (a refused one is said and
// keeps the dialog open), and clearSound set when Clear was pressed; false
// at Cancel, the values untouched.
bool askKeyProperties(const char* keyName, const char* soundText, int32_t values[KeyPropertyCount], bool& clearSound);
