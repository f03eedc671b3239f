#include "fakes/fake_legacy_code_page.h"

#include <string>

#include "setup/legacy_code_page.h"

FakeLegacyCodePage fakeLegacyCodePage;

bool convertFromLegacyCodePage(const char* legacy, char text[PathCapacity]) {
    if (fakeLegacyCodePage.isActiveCodePage) return false;
    std::string converted;
    for (const char* c = legacy; *c; ++c) {
        auto byte = static_cast<unsigned char>(*c);
        if (byte >= 0x80 && byte < 0xA0) return false;  // not among the letters this fake knows
        if (byte < 0x80) {
            converted += *c;
        } else {
            converted += static_cast<char>(0xC0 | (byte >> 6));
            converted += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    if (converted.size() >= static_cast<size_t>(PathCapacity)) return false;
    converted.copy(text, converted.size());
    text[converted.size()] = '\0';
    return true;
}
