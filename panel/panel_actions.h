// What a panel control does when it is clicked.
#pragma once

// Runs the action of control id; ids without a control do nothing.
void performPanelAction(int id);
// A right-click on control id: on a key cap, the key is selected and its
// properties asked for; elsewhere nothing.
void performPanelRightClick(int id);
