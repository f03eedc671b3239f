// Texts for the title bar and the message dialogs are joined from pieces and
// cut where the buffer's characters end, never inside a character; texts
// that must not be cut are joined whole or not at all.
#pragma once
#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "base/text_sizes.h"
#include "base/utf8_text.h"

inline void joinText(char* text, size_t capacity, std::initializer_list<const char*> pieces) {
    size_t used = 0;
    size_t characters = charactersHeldBy(capacity);
    for (const char* piece : pieces) {
        size_t length = leadingTextBytes(piece, characters, capacity - 1 - used);
        std::memcpy(text + used, piece, length);
        used += length;
        text[used] = '\0';
        characters -= textCharacters(text + used - length);
    }
    text[used] = '\0';
}

// False, and an empty text, when the pieces do not fit whole.
inline bool joinWholeText(char* text, size_t capacity, std::initializer_list<const char*> pieces) {
    size_t length = 0;
    size_t characters = 0;
    for (const char* piece : pieces) {
        length += std::strlen(piece);
        characters += textCharacters(piece);
    }
    if (length >= capacity || characters > charactersHeldBy(capacity)) {
        text[0] = '\0';
        return false;
    }
    joinText(text, capacity, pieces);
    return true;
}
