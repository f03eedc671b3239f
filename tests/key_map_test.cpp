#include <gtest/gtest.h>

#include "keys/key_bank.h"

TEST(KeyboardMap, placeholder) { EXPECT_EQ(keyIndexForVirtualKey(81), 13); }
