// Platform seam: the system's legacy ANSI code page, in which versions of the
// program before it spoke UTF-8 stored a setup's sound folder. Defined in
// setup/legacy_code_page_win32.cpp, faked in tests.
#pragma once

#include "base/text_sizes.h"

// The legacy text converted to the code page the program speaks. False, and
// the text untouched, when that is the legacy code page itself (a Windows
// that ignores the program's manifest) or the text does not convert.
bool convertFromLegacyCodePage(const char* legacy, char text[PathCapacity]);
