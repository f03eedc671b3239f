// The Bank submenu: the eight banks, the one shown checked, the others marked
// that have keys sounding.
#include "flows/bank_menu.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "fakes/fake_menu.h"
#include "keys/key_banks.h"
#include "resources/command_ids.h"
#include "support/key_bank_fixture.h"

namespace {

class TheBankMenu : public KeyBankFixture {
protected:
    std::vector<std::string> shown() {
        refreshBankMenu();
        std::vector<std::string> items;
        for (const MenuListItem& item : fakeMenu.lists[CMD_BANK_FIRST])
            items.push_back((item.checked ? "* " : "") + item.text);
        return items;
    }
};

TEST_F(TheBankMenu, ChecksTheBankShownAndMarksTheOthersSounding) {
    giveVoice(26);
    keyDown(26);  // bank 1's A latched
    chooseBank(5);
    EXPECT_EQ(shownBank, 5);
    EXPECT_EQ(shown(), (std::vector<std::string>{"Bank 1 (sounding)\tF1", "Bank 2\tF2", "Bank 3\tF3", "Bank 4\tF4",
                                                 "Bank 5\tF5", "* Bank 6\tF6", "Bank 7\tF7", "Bank 8\tF8"}));
    chooseBank(0);
    EXPECT_EQ(shown().front(), "* Bank 1\tF1");
}

}  // namespace
