#include "base/utf8_text.h"

#include <gtest/gtest.h>
#include <string>

#include "support/program_test.h"

namespace {

class TextFromWindows : public ProgramTest {};

TEST_F(TextFromWindows, CharactersAreCountedNotBytes) {
    EXPECT_EQ(textCharacters("Drums"), 5u);
    EXPECT_EQ(textCharacters("\xC3\xA9t\xC3\xA9"), 3u);             // été
    EXPECT_EQ(textCharacters("\xE6\x97\xA5\xE6\x9C\xAC.wav"), 6u);  // 日本.wav
    EXPECT_EQ(textCharacters("\xF0\x9F\x8E\xB9"), 1u);              // a keyboard beyond the BMP
    EXPECT_TRUE(fitsPath(("C:\\" + std::string(256, 'p')).c_str()));
    EXPECT_FALSE(fitsPath(("C:\\" + std::string(257, 'p')).c_str()));
    std::string kanji;
    for (int i = 0; i < 256; ++i) kanji += "\xE6\x97\xA5";
    EXPECT_TRUE(fitsPath(("C:\\" + kanji).c_str()));
    EXPECT_FALSE(fitsPath(("C:\\" + kanji + "p").c_str()));
}

TEST_F(TextFromWindows, AStartIsCutBetweenCharactersOnly) {
    const char* text = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x8E\xB9z";  // a, é, 日, a keyboard, z
    EXPECT_EQ(leadingTextBytes(text, 2, 100), 3u);
    EXPECT_EQ(leadingTextBytes(text, 4, 100), 10u);
    EXPECT_EQ(leadingTextBytes(text, 9, 100), 11u);
    EXPECT_EQ(leadingTextBytes(text, 9, 5), 3u);  // 日 would end at byte 6
    EXPECT_EQ(leadingTextBytes(text, 0, 100), 0u);
}

TEST_F(TextFromWindows, OnlyWellFormedUtf8IsTakenForIt) {
    for (std::string good : {"", "C:\\Sounds", "\xC3\xA9t\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x8E\xB9",
                             "\xEF\xBF\xBD", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(isUtf8(good.data(), good.size())) << good;
    for (std::string bad : {"\xE9t\xE9",         // Windows-1252
                            "Caf\xC3",           // cut short
                            "\xE6\x97",          // cut short
                            "\xE6\x97z",         // broken off
                            "\xC0\xAF",          // overlong
                            "\xE0\x80\xAF",      // overlong
                            "\xED\xA0\x80",      // a surrogate
                            "\xF4\x90\x80\x80",  // beyond U+10FFFF
                            "\xF5\x80\x80\x80",  // no such lead byte
                            "\x80"})             // a continuation alone
        EXPECT_FALSE(isUtf8(bad.data(), bad.size())) << bad;
}

}  // namespace
