// Platform seam: the Open Setup and Save Setup dialogs. Defined in
// setup/setup_dialogs_win32.cpp, faked in tests.
#pragma once

#include "base/text_sizes.h"

enum class FileChoice { Chosen, Cancelled, Failed };

// The "Open Setup" dialog. On Chosen, path is the full path and name its file
// part. Failed: the dialog itself could not run (an extended error code).
FileChoice askOpenSetupPath(char path[PathCapacity], char name[PathCapacity]);
// The "Save Setup" dialog, proposing initialName.
FileChoice askSaveSetupPath(const char* initialName, char path[PathCapacity], char name[PathCapacity]);
