// Setup files that arrive from outside: the command line and dropped files,
// directly or through a shell shortcut.
#pragma once

// Opens the file when it is a setup file (".qpd"/".QPD") or a shortcut to one;
// anything else is ignored without a message. A modified setup is offered for
// saving first, and Cancel there keeps it. The name is taken whole: a command
// line is not split at blanks and its quotes stay.
void openExternalFile(const char* path);
constexpr int SuffixCapacity = 4;  // three characters and a terminator
// The last three characters of a text (the whole text when shorter).
void fileTypeSuffix(const char* text, char suffix[SuffixCapacity]);
