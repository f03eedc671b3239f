// Platform seam: folders on disk, the search for sound files and the Import
// Sounds dialog. Defined in library/sound_folder_win32.cpp, faked in tests.
#pragma once

#include "base/text_sizes.h"

bool getCurrentFolder(char folder[PathCapacity]);
bool setCurrentFolder(const char* folder);
// Last component of a path as the shell shows it (C:\Sounds\Drums gives Drums).
void folderTitle(const char* folder, char title[PathCapacity]);
// Calls found(name) for each file of the current folder whose name has a
// sound extension (soundFileType, in any case), in the order the search
// returns them; folders are not files and are left out.
void forEachSoundFile(void (*found)(const char* name, void* context), void* context);
// The Import Sounds dialog, which offers every kind of sound file; fills the
// folder of the chosen file. False when cancelled or failed.
bool askImportSoundFolder(char folder[PathCapacity]);
