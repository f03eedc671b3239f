// The bytes of a setup file (.qpd): the 47 keys of bank 1, the master volume
// and the sound directory, as big-endian 16-bit words behind a version word,
// and from version 8000 an extension of tagged sections after them: the keys'
// properties and the other banks (docs/setup-format.md).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The layout of a setup whose keys all have their default properties, written
// byte for byte as every older Quillpad wrote it, so that they open it too.
constexpr int16_t SetupVersion = 7995;
// The same layout followed by the extension; the newest version this program
// knows. Written only when a key's properties or a bank but the first need it.
constexpr int16_t ExtendedSetupVersion = 8000;
// The sound directory's length byte is read as signed: 127 at most, one more
// than the path.
constexpr int MaxStoredDirectoryLength = 126;  // named in the refusal message too
// A version-7995 file with an empty sound directory; the path's bytes come on top.
constexpr size_t SetupBaseSize = 1039;
// The most a setup file may hold; a larger file is refused unread, so that no
// file makes the program allocate without bound. Sections to come will hold
// eight banks of 47 keys, each with a sound file of its own whose UTF-8 path
// of 260 characters takes up to 780 bytes: some 300 KB with the keys'
// settings. The limit leaves room beyond that.
constexpr size_t MaxSetupSize = 384 * 1024;

extern const char* const ErrorReadingFileText;
extern const char* const NewerVersionText;
extern const char* const UnreadableSettingsText;
extern const char* const DroppedSettingsText;

// False when the sound directory is too long for the length byte.
bool soundDirectoryFitsSetup();
// The banks, master volume and sound directory: version 7995, 1039 + n
// bytes, when bank 1's keys have their default properties and every other
// bank the start-up layout, else version 8000 with the extension. The same
// bytes whichever bank is shown. Empty when the sound directory does not fit.
std::vector<uint8_t> composeSetupBytes();
enum class SetupReadResult {
    Read,
    ReadNewerVersion,  // read as the newest layout this program knows; the user is to be warned
    TooShort,          // the file ends before its version's last field: nothing changed
};
// What became of the extension of a setup that was read.
enum class SetupExtensionResult {
    Read,             // none, or every section whole and known
    UnknownSections,  // sections of a newer Quillpad were passed over: a save here leaves them out
    // Cut short or malformed: none of it was taken. Bank 1's keys have their
    // default properties and every other bank the start-up layout.
    Damaged,
};
// Shows bank 1 and replaces its keys' stored fields and, as the version
// allows, the master volume and the sound directory, and clears the modified
// flag. Every key's properties take their defaults first, then those the
// extension holds; every other bank takes the start-up layout (its voices
// released), then the keys of its section. Nothing changes when the result
// is TooShort. Shows no message: the caller tells the user what the results
// mean.
SetupReadResult readSetupBytes(const uint8_t* bytes, size_t size, SetupExtensionResult& extension);
// The same, for a caller that tells nothing of the extension.
SetupReadResult readSetupBytes(const uint8_t* bytes, size_t size);
