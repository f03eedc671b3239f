// The rows the sound list shows.
#include "library/sound_list_rows.h"

#include <gtest/gtest.h>
#include <string>

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
    EXPECT_EQ(row(2, "ab"), " 03  ab");  // too short to have ".wav": shown whole
    EXPECT_EQ(row(2, ".wav"), " 03  ");
}

}  // namespace
