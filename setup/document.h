// The one document: the setup's name, path and modified flag, and the title.
#pragma once

#include "app/text_sizes.h"

struct DocumentState {
    char setupName[PathCapacity] = "Untitled";
    char setupPath[PathCapacity] = "";
    bool modified = false;
};

extern DocumentState document;

// "<setup name>  using:  <sound directory title>", cut at 255 characters.
void composeWindowTitle(char title[ShownTextCapacity]);
void updateWindowTitle();
