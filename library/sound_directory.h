// The sound directory: the folder whose WAV files are the sounds.
#pragma once

#include "library/sound_list.h"

extern char soundDirectory[PathCapacity];       // absolute, no trailing separator but for a root
extern char soundDirectoryTitle[PathCapacity];  // its last component, shown in the title

// Makes the sound directory current, refills the list from its "*.wav" files
// and loads the sound bank; false (nothing changed) when it cannot be made
// current. The process's current directory is left as it was.
bool loadSoundDirectory();
// Asks for a WAV file; its folder becomes the sound directory. False when no
// file was chosen, else the result of loadSoundDirectory.
bool importSounds();
// The list's button release: modified flag, Undo snapshot, assign the
// selected entry to the selected key, redraw its cap label idle.
void assignSelectedSoundFromList();

// Platform seam for folders and the "*.wav" search.
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
