// Platform seam for setup files: the Open and Save As dialogs and the file
// system. Defined in setup/*_win32.cpp for the program, faked in tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/sound_list.h"

enum class FileChoice { Chosen, Cancelled, Failed };

// The "Open Setup" dialog. On Chosen, path is the full path and name its file
// part. Failed: the dialog itself could not run (an extended error code).
FileChoice askOpenSetupPath(char path[PathCapacity], char name[PathCapacity]);
// The "Save Setup" dialog, proposing initialName.
FileChoice askSaveSetupPath(const char* initialName, char path[PathCapacity], char name[PathCapacity]);

// Opens the file for reading and writing, shared with nobody, creating it
// empty when missing, and reads at most maxBytes of it. False when it could
// not be opened.
bool readSetupFile(const char* path, size_t maxBytes, std::vector<uint8_t>& bytes);

enum class SaveTarget {
    ExistingFile,  // Save: the file must already be there
    AnyFile,       // Save As: made when missing
};
// Writes the bytes to a new file beside the target and only then puts it in
// the target's place, so a failed save leaves the previous file whole. False
// when the target could not be opened for writing or any byte failed.
bool storeSetupFile(const char* path, SaveTarget target, const std::vector<uint8_t>& bytes);
