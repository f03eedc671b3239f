// Counting and checking UTF-8 text, the form every text from Windows takes.
#pragma once
#include <cstddef>

// The number of characters: every byte that does not continue a sequence
// starts one, so bytes that are no UTF-8 count one each.
size_t textCharacters(const char* text);
// The bytes of the longest start of the text that is at most `characters`
// characters and `bytes` bytes long and never ends inside a character.
size_t leadingTextBytes(const char* text, size_t characters, size_t bytes);
// True when the bytes are well-formed UTF-8: no sequence cut short, no
// overlong form, no surrogate and nothing beyond U+10FFFF.
bool isUtf8(const char* text, size_t length);
// True when the text fits a path buffer whole: at most 259 characters.
bool fitsPath(const char* text);
// Windows' names compare without regard to case. Only ASCII letters are
// folded: a byte of a longer UTF-8 character is never taken for a letter.
bool sameTextIgnoringCase(const char* a, const char* b);
bool startsWithIgnoringCase(const char* text, const char* start);
bool endsWithIgnoringCase(const char* text, const char* end);
// The part of a path after its last separator (\, / or the drive's colon).
const char* fileNamePart(const char* path);
