// The common Open and Save dialogs as the program shows them: owned by the
// main window, one filter, a default extension added to a name typed without
// one.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "base/text_sizes.h"

// The dialog's record: the path chosen goes into `path`, which holds the
// name the dialog starts with; the file's own name into `name` where one is
// given.
OPENFILENAMEA fileDialog(const char* title, const char* filter, const char* extension, DWORD flags,
                         char path[PathCapacity], char* name = nullptr);
