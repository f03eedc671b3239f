// Setup files that arrive from outside: the command line and dropped files,
// directly or through a shell shortcut.
#pragma once

// Opens the file when it is a setup file (".qpd"/".QPD") or a shortcut to one;
// anything else is ignored without a message. A modified setup is offered for
// saving first, and Cancel there keeps it. The name is taken whole, blanks and
// quotes and all.
void openExternalFile(const char* path);
// The program's command line: a path in double quotes, as Windows passes a
// path with blanks, opens as the bare path; anything else is taken whole as
// the file's name.
void openCommandLineFile(const char* commandLine);
constexpr int SuffixCapacity = 4;  // three characters and a terminator
// The last three characters of a text (the whole text when shorter).
void fileTypeSuffix(const char* text, char suffix[SuffixCapacity]);
