// The Bank submenu of the Functions menu: "Bank 1\tF1" to "Bank 8\tF8", the
// shown bank checked, and the others marked that have keys sounding.
#pragma once

// As the submenu opens: the banks listed again, with what each is doing now.
void refreshBankMenu();
// Its item `index` (0 for Bank 1) chosen: that bank is shown.
void chooseBank(int index);
