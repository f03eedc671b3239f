#include "setup/document.h"

#include <cstring>

#include "base/joined_text.h"
#include "library/sound_directory.h"
#include "setup/window_title.h"

DocumentState document;

void composeWindowTitle(char title[ShownTextCapacity]) {
    const char* mark = document.recording ? " [REC]" : "";
    const size_t markLength = std::strlen(mark);
    // The mark's characters are ASCII, so the rest keeps the characters the mark leaves.
    joinText(title, (ShownTextCharacters - markLength) * CharacterBytes + 1,
             {document.setupName, "  using:  ", soundDirectoryTitle});
    std::memcpy(title + std::strlen(title), mark, markLength + 1);
}

void updateWindowTitle() {
    char title[ShownTextCapacity];
    composeWindowTitle(title);
    setMainWindowTitle(title);
}
