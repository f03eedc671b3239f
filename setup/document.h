// The one document: the setup's name, path and modified flag, and the title.
#pragma once

#include "base/text_sizes.h"

struct DocumentState {
    char setupName[PathCapacity] = "Untitled";
    char setupPath[PathCapacity] = "";
    bool modified = false;
    bool recording = false;  // " [REC]" ends the title; never saved, never a change
};

extern DocumentState document;

// "<setup name>  using:  <sound directory title>", cut at 255 characters,
// and after it, uncut, " - Bank <n>" while a bank other than Bank 1 is
// shown and " [REC]" while a recording runs.
void composeWindowTitle(char title[ShownTextCapacity]);
void updateWindowTitle();
