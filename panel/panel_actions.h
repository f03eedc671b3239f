// What a panel control does when it is clicked.
#pragma once

// Runs the action of control id; ids without a control do nothing.
void performPanelAction(int id);
