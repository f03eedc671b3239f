// Platform seam: setup files on disk. Defined in setup/setup_storage_win32.cpp,
// faked in tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

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
