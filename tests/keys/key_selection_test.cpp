// Bringing a key onto the panel, as Undo and Redo do.
#include "keys/key_selection.h"

#include <gtest/gtest.h>

#include "setup/document.h"
#include "support/key_bank_fixture.h"

namespace {

class SelectingKeys : public KeyBankFixture {};

TEST_F(SelectingKeys, SelectKeyRedrawsTheOldCapThenShowsTheNewKey) {
    selectKey(20);
    EXPECT_EQ(keyBank.selectedKey, 20);
    EXPECT_EQ(callLog, (Calls{capOf(0), "panel invalidateKeyCap 20", "panel invalidateTriggerModeButtons",
                              "panel refreshSelectedKey"}));
    callLog.clear();
    selectKey(20);
    EXPECT_EQ(callLog, (Calls{capOf(20), "panel invalidateKeyCap 20", "panel invalidateTriggerModeButtons",
                              "panel refreshSelectedKey"}));
    EXPECT_FALSE(document.modified);
}

}  // namespace
