#include "setup/document.h"

#include "app/joined_text.h"
#include "app/main_window.h"
#include "library/sound_directory.h"

DocumentState document;

void composeWindowTitle(char title[ShownTextCapacity]) {
    joinText(title, ShownTextCapacity, {document.setupName, "  using:  ", soundDirectoryTitle});
}

void updateWindowTitle() {
    char title[ShownTextCapacity];
    composeWindowTitle(title);
    setMainWindowTitle(title);
}
