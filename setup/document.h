// The one document: the setup's name, path and modified flag, and the title.
#pragma once

#include "library/sound_list.h"

struct DocumentState {
    char setupName[PathCapacity] = "Untitled";
    char setupPath[PathCapacity] = "";
    bool modified = false;
};

extern DocumentState document;

// "<setup name>  using:  <sound directory title>", cut at 255 characters.
void composeWindowTitle(char title[256]);
void updateWindowTitle();
// Platform seam: the main window's caption.
void setMainWindowTitle(const char* title);
