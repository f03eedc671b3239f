// One level of undo for the key edited last.
#pragma once

// Saves the selected key's settings before an edit.
void takeUndoSnapshot();
