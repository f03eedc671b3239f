// The setup file type as the desktop knows it: ".qpd" files open in this
// program and show its setup-file icon.
#pragma once

#include "base/text_sizes.h"

// Writes the four registry values again, for the user and then for every
// user, each on its own (a step that fails is skipped without a message), and
// tells the shell.
void registerFileType();

// `"<program path>" %1`: the path quoted, so that blanks in it cannot start
// another program; %1 bare, since the whole command line is the file name.
// False when it does not fit in 259 characters.
bool composeOpenCommand(const char* programPath, char command[PathCapacity]);
// "<program path>,1": the second icon of the program, the setup-file icon.
bool composeIconValue(const char* programPath, char icon[PathCapacity]);
