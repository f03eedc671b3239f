// What a panel control does when it is clicked.
#pragma once

// Runs the action of control id; ids without a control do nothing.
void performPanelAction(int id);

// Key cap k's action: the old selected cap and the four trigger-mode
// buttons are invalidated, k becomes the selected key, and everything shown
// for it is redrawn. Selecting marks nothing modified.
void selectKeyFromPanel(int key);
