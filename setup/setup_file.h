// The bytes of a setup file (.qpd): the 47 keys, the master volume and the
// sound directory, as big-endian 16-bit words behind a version word.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The layout this program writes; older ones are still read.
constexpr int16_t SetupVersion = 7995;
// The sound directory's length byte is read as signed: 127 at most, one more
// than the path.
constexpr int MaxStoredDirectoryLength = 126;  // named in the refusal message too
// A version-7995 file with an empty sound directory; the path's bytes come on top.
constexpr size_t SetupBaseSize = 1039;
// No layout is longer than this; anything after its last field is ignored.
constexpr size_t MaxSetupSize = SetupBaseSize + MaxStoredDirectoryLength;

extern const char* const ErrorReadingFileText;
extern const char* const NewerVersionText;

// False when the sound directory is too long for the length byte.
bool soundDirectoryFitsSetup();
// The current key bank, master volume and sound directory in the newest
// layout, 1039 + n bytes. Empty when the sound directory does not fit.
std::vector<uint8_t> composeSetupBytes();
enum class SetupReadResult {
    Read,
    ReadNewerVersion,  // read as the newest layout this program knows; the user is to be warned
    TooShort,          // the file ends before its version's last field: nothing changed
};
// Replaces the keys' stored fields and, as the version allows, the master
// volume and the sound directory, and clears the modified flag. Shows
// nothing: the caller tells the user what the result means.
SetupReadResult readSetupBytes(const uint8_t* bytes, size_t size);
