// Platform seam: folders on disk, the "*.wav" search and the Import Sounds
// dialog. Defined in library/sound_folder_win32.cpp, faked in tests.
#pragma once

#include "base/text_sizes.h"

bool getCurrentFolder(char folder[PathCapacity]);
bool setCurrentFolder(const char* folder);
// Last component of a path as the shell shows it (C:\Sounds\Drums gives Drums).
void folderTitle(const char* folder, char title[PathCapacity]);
// Calls found(name) for each entry of the current folder matching "*.wav"
// without regard to case, in the order the search returns them.
void forEachWaveFile(void (*found)(const char* name, void* context), void* context);
// The Import Sounds dialog; fills the folder of the chosen file. False when
// cancelled or failed.
bool askImportSoundFolder(char folder[PathCapacity]);
