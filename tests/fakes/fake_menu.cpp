// Menu changes recorded as "menu enable <id>", "menu grey <id>",
// "menu text <id> <text>", "menu check <id>", "menu uncheck <id>" and
// "menu list <first id>".
#include "fakes/fake_menu.h"

#include <algorithm>

#include "base/menu.h"
#include "fakes/call_log.h"

FakeMenu fakeMenu;

void setMenuItemEnabled(int commandId, bool enabled) {
    fakeMenu.enabled[commandId] = enabled;
    callLog.push_back((enabled ? "menu enable " : "menu grey ") + std::to_string(commandId));
}

void setMenuItemText(int commandId, const char* text) {
    fakeMenu.texts[commandId] = text;
    callLog.push_back("menu text " + std::to_string(commandId) + " " + text);
}

void setMenuList(int firstCommandId, int lastCommandId, const std::vector<MenuListItem>& items, bool enabled) {
    size_t room = static_cast<size_t>(lastCommandId - firstCommandId + 1);
    fakeMenu.lists[firstCommandId].assign(items.begin(), items.begin() + std::min(room, items.size()));
    fakeMenu.listEnabled[firstCommandId] = enabled;
    callLog.push_back("menu list " + std::to_string(firstCommandId));
}

void setMenuItemChecked(int commandId, bool checked) {
    fakeMenu.checked[commandId] = checked;
    callLog.push_back((checked ? "menu check " : "menu uncheck ") + std::to_string(commandId));
}
