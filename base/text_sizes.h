// The fixed sizes of the program's text buffers. Texts are UTF-8, as Windows
// hands them to this program, so a character takes one to four bytes: a
// buffer holds its characters at four bytes each, and a terminator.
#pragma once
#include <cstddef>

constexpr int CharacterBytes = 4;
constexpr size_t charactersHeldBy(size_t capacity) { return (capacity - 1) / CharacterBytes; }

// Paths and names: 259 characters.
constexpr int PathCharacters = 259;
constexpr int PathCapacity = PathCharacters * CharacterBytes + 1;
// Window titles and message texts: 255 characters.
constexpr size_t ShownTextCharacters = 255;
constexpr size_t ShownTextCapacity = ShownTextCharacters * CharacterBytes + 1;
