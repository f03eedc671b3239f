#include "flows/bank_menu.h"

#include <cstdio>
#include <vector>

#include "base/menu.h"
#include "keys/key_banks.h"
#include "resources/command_ids.h"

void refreshBankMenu() {
    std::vector<MenuListItem> items;
    for (int b = 0; b < BankCount; ++b) {
        char text[48];
        bool sounding = b != shownBank && isBankSounding(b);
        std::snprintf(text, sizeof text, "Bank %d%s\tF%d", b + 1, sounding ? " (sounding)" : "", b + 1);
        items.push_back({text, b == shownBank});
    }
    setMenuList(CMD_BANK_FIRST, CMD_BANK_LAST, items, true);
}

void chooseBank(int index) { showBank(index); }
