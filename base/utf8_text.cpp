#include "base/utf8_text.h"

#include <cstring>

#include "base/text_sizes.h"

namespace {

bool continuesSequence(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed sequence at the start of text, 0 when none.
size_t sequenceLength(const unsigned char* text, size_t length) {
    unsigned char lead = text[0];
    if (lead < 0x80) return 1;
    size_t count = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (count == 0 || lead > 0xF4 || count > length) return 0;
    // The second byte's range rules out overlong forms, surrogates and code
    // points past U+10FFFF.
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (text[1] < low || text[1] > high) return 0;
    for (size_t i = 2; i < count; ++i)
        if (!continuesSequence(text[i])) return 0;
    return count;
}

}  // namespace

size_t textCharacters(const char* text) {
    size_t characters = 0;
    for (const char* c = text; *c; ++c)
        if (!continuesSequence(static_cast<unsigned char>(*c))) ++characters;
    return characters;
}

size_t leadingTextBytes(const char* text, size_t characters, size_t bytes) {
    size_t length = std::strlen(text);
    size_t end = 0;
    for (size_t counted = 0; counted < characters && end < length; ++counted) {
        size_t next = end + 1;
        while (next < length && continuesSequence(static_cast<unsigned char>(text[next]))) ++next;
        if (next > bytes) break;
        end = next;
    }
    return end;
}

bool isUtf8(const char* text, size_t length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length;) {
        size_t step = sequenceLength(bytes + i, length - i);
        if (step == 0) return false;
        i += step;
    }
    return true;
}

bool fitsPath(const char* text) {
    return std::strlen(text) < static_cast<size_t>(PathCapacity) && textCharacters(text) <= PathCharacters;
}

namespace {

char foldedCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameBytesIgnoringCase(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (foldedCase(a[i]) != foldedCase(b[i])) return false;
    return true;
}

}  // namespace

bool sameTextIgnoringCase(const char* a, const char* b) {
    size_t length = std::strlen(a);
    return length == std::strlen(b) && sameBytesIgnoringCase(a, b, length);
}

bool startsWithIgnoringCase(const char* text, const char* start) {
    size_t length = std::strlen(start);
    return std::strlen(text) >= length && sameBytesIgnoringCase(text, start, length);
}

bool endsWithIgnoringCase(const char* text, const char* end) {
    size_t length = std::strlen(end);
    size_t textLength = std::strlen(text);
    return textLength >= length && sameBytesIgnoringCase(text + textLength - length, end, length);
}

const char* fileNamePart(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
    return name;
}
