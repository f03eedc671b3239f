// The Open Setup and Save Setup common dialogs.
#include "setup/setup_dialogs.h"

#include <windows.h>
#include <commdlg.h>
#include <cstdio>
#include <cstring>

#include "base/file_dialog_win32.h"
#include "base/utf8_text.h"

namespace {

const char SetupFilter[] = "Setup files (*.qpd)\0*.qpd\0";

FileChoice outcome(BOOL chosen, const char* path, char name[PathCapacity]) {
    if (!chosen) return CommDlgExtendedError() != 0 ? FileChoice::Failed : FileChoice::Cancelled;
    // The buffer holds more bytes than a path of 259 characters can take in
    // ASCII: a longer one is refused as a buffer too small would be.
    if (!fitsPath(path)) return FileChoice::Failed;
    if (name[0] == '\0') {
        const char* last = std::strrchr(path, '\\');
        std::snprintf(name, PathCapacity, "%s", last ? last + 1 : path);
    }
    return FileChoice::Chosen;
}

}  // namespace

FileChoice askOpenSetupPath(char path[PathCapacity], char name[PathCapacity]) {
    path[0] = '\0';
    name[0] = '\0';
    // No "file must exist": a new name is let through and made as an empty file.
    OPENFILENAMEA dialog =
        fileDialog("Open Setup", SetupFilter, "qpd", OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, path, name);
    return outcome(GetOpenFileNameA(&dialog), path, name);
}

FileChoice askSaveSetupPath(const char* initialName, char path[PathCapacity], char name[PathCapacity]) {
    std::snprintf(path, PathCapacity, "%s", initialName);
    name[0] = '\0';
    OPENFILENAMEA dialog = fileDialog("Save Setup", SetupFilter, "qpd",
                                      OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, path, name);
    return outcome(GetSaveFileNameA(&dialog), path, name);
}
