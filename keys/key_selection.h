// Which key the panel shows: the selected key, chosen by a click on its cap
// or brought back by Undo.
#pragma once

// Key cap k's click: the old selected cap and the four trigger-mode buttons
// are invalidated, k becomes the selected key, and everything shown for it is
// redrawn. Selecting marks nothing modified.
void selectKeyFromPanel(int key);
// Brings key k onto the panel, as Undo and Redo do: the old cap redrawn,
// k selected, its cap and the trigger-mode buttons invalidated, every
// display of it redrawn.
void selectKey(int key);
