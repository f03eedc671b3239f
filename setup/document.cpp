#include "setup/document.h"

#include "library/sound_directory.h"
#include "app/joined_text.h"

DocumentState document;

void composeWindowTitle(char title[256]) {
    joinText(title, ShownTextCapacity, {document.setupName, "  using:  ", soundDirectoryTitle});
}

void updateWindowTitle() {
    char title[ShownTextCapacity];
    composeWindowTitle(title);
    setMainWindowTitle(title);
}
