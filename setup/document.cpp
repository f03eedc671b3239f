#include "setup/document.h"

#include <cstdio>
#include <cstring>

#include "base/joined_text.h"
#include "keys/key_banks.h"
#include "library/sound_directory.h"
#include "setup/window_title.h"

DocumentState document;

void composeWindowTitle(char title[ShownTextCapacity]) {
    char mark[32] = "";
    if (shownBank != 0) std::snprintf(mark, sizeof mark, " - Bank %d", shownBank + 1);
    if (document.recording) std::snprintf(mark + std::strlen(mark), sizeof mark - std::strlen(mark), " [REC]");
    const size_t markLength = std::strlen(mark);
    // The marks' characters are ASCII, so the rest keeps the characters the marks leave.
    joinText(title, (ShownTextCharacters - markLength) * CharacterBytes + 1,
             {document.setupName, "  using:  ", soundDirectoryTitle});
    std::memcpy(title + std::strlen(title), mark, markLength + 1);
}

void updateWindowTitle() {
    char title[ShownTextCapacity];
    composeWindowTitle(title);
    setMainWindowTitle(title);
}
