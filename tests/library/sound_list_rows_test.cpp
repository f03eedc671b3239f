// The rows the sound list shows.
#include "library/sound_list_rows.h"

#include <gtest/gtest.h>
#include <string>

#include "base/utf8_text.h"
#include "support/program_test.h"

namespace {

class ShowingSoundRows : public ProgramTest {
protected:
    std::string row(int index, const char* name) {
        char text[RowTextCapacity];
        soundListRowText(index, name, text);
        return text;
    }
};

TEST_F(ShowingSoundRows, RowsShowATwoDigitNumberAndTheNameWithoutItsExtension) {
    EXPECT_EQ(row(0, "kick.wav"), " 01  kick");
    EXPECT_EQ(row(8, "A.wav"), " 09  A");
    EXPECT_EQ(row(9, "b.wav"), " 10  b");
    EXPECT_EQ(row(99, "c.WAV"), " 100  c");
    EXPECT_EQ(row(0, "No Sounds Loaded.wav"), " 01  No Sounds Loaded");
    EXPECT_EQ(row(2, ".wav"), " 03  ");
}

TEST_F(ShowingSoundRows, EverySoundExtensionIsCutWhateverItsLengthAndOnlyAtTheLastDot) {
    EXPECT_EQ(row(0, "pad.flac"), " 01  pad");
    EXPECT_EQ(row(1, "Choir.AIFF"), " 02  Choir");
    EXPECT_EQ(row(2, "hit.aif"), " 03  hit");
    EXPECT_EQ(row(3, "ab.mp3"), " 04  ab");
    EXPECT_EQ(row(4, "v1.2 take.ogg"), " 05  v1.2 take");
    EXPECT_EQ(row(5, "kick.wav.mp3"), " 06  kick.wav");
    // Names without a sound extension are shown whole.
    EXPECT_EQ(row(6, "ab"), " 07  ab");
    EXPECT_EQ(row(7, "notes.txt"), " 08  notes.txt");
    EXPECT_EQ(row(8, "take.wave"), " 09  take.wave");
}

TEST_F(ShowingSoundRows, NamesInAnyScriptLoseOnlyTheirExtensionAndNeverAPartOfACharacter) {
    EXPECT_EQ(row(0, "\u65e5\u672c.flac"), " 01  \u65e5\u672c");
    EXPECT_EQ(row(1, "\u00e9t\u00e9.oga"), " 02  \u00e9t\u00e9");
    EXPECT_EQ(row(2, "\u00e9"), " 03  \u00e9");  // shorter than any extension

    // 300 characters of four bytes each are more than a row holds: it shows a
    // path's worth of whole characters.
    std::string name;
    for (int i = 0; i < 300; ++i) name += "\U0001F941";
    name += ".wav";
    std::string text = row(10, name.c_str());
    EXPECT_TRUE(isUtf8(text.c_str(), text.size()));
    EXPECT_EQ(text, " 11  " + name.substr(0, 4 * PathCharacters));
}

}  // namespace
