// The Key Properties dialog's fields: what each takes, and what it says of the rest.
#include "edit/key_property_fields.h"

#include <gtest/gtest.h>
#include <string>

#include "support/program_test.h"

namespace {

class KeyPropertyFieldText : public ProgramTest {
protected:
    static std::string refusal(int field, const char* text) {
        int32_t value = -7;
        char message[ShownTextCapacity] = "";
        bool taken = readKeyPropertyText(field, text, value, message);
        return taken ? "taken " + std::to_string(value) : message;
    }
};

TEST_F(KeyPropertyFieldText, AFieldTakesAWholeNumberOfItsRangeAndSaysWhatItTakesOtherwise) {
    EXPECT_EQ(refusal(ChokeGroupProperty, " 16 "), "taken 16");
    EXPECT_EQ(refusal(ChokeGroupProperty, "17"), "Choke group must be a whole number from 0 to 16.");
    EXPECT_EQ(refusal(FadeInProperty, "-1"), "Fade in (ms) must be a whole number from 0 to 10000.");
    EXPECT_EQ(refusal(FadeOutProperty, "1.5"), "Fade out (ms) must be a whole number from 0 to 10000.");
    EXPECT_EQ(refusal(StartProperty, "3600000"), "taken 3600000");
    EXPECT_EQ(refusal(EndProperty, "99999999999"), "End (ms) must be a whole number from 0 to 3600000.");
    EXPECT_EQ(refusal(EndProperty, ""), "End (ms) must be a whole number from 0 to 3600000.");
    EXPECT_EQ(refusal(StartProperty, "12ms"), "Start (ms) must be a whole number from 0 to 3600000.");
}

}  // namespace
