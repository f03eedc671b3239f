// Text that Windows hands over wide (file names, shell paths), in the code page
// the program speaks: UTF-8 under the manifest, the system's own on a Windows
// that ignores it (before 10 version 1903).
#pragma once
#include <windows.h>
#include <string>

// False when the text holds a character the code page cannot write, or does
// not fit `capacity` bytes. A look-alike in its place (a '\' for a wide
// backslash, say) could name another file, and the file could not be opened
// by that name anyway.
bool wideToProgramText(const WCHAR* wide, char* text, int capacity);
// The other way: the program's text as Windows' wide text, for calls that
// take only that. False for text that is not well-formed in the code page.
bool programTextToWide(const char* text, std::wstring& wide);
