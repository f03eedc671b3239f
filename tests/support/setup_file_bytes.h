// The bytes of a setup file that differs from the start-up keys in a way a
// test can see, made by the program's own writer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "keys/key_bank.h"
#include "keys/pitch_volume.h"
#include "library/sound_directory.h"
#include "setup/setup_file.h"
#include "support/program_state.h"

// The current keys with key 13's note and choke group changed (a choke group
// makes it a version-8000 file), master volume 4 and the given sound folder;
// the program's own state is left as it was.
inline std::vector<uint8_t> setupFileWith(const std::string& folder, int16_t note13, int16_t chokeGroup13 = 0) {
    KeyBank saved = keyBank;
    int16_t savedMaster = masterVolume;
    char savedFolder[PathCapacity];
    std::snprintf(savedFolder, PathCapacity, "%s", soundDirectory);
    keyBank.slots[13].note = note13;
    keyBank.slots[13].chokeGroup = chokeGroup13;
    masterVolume = 4;
    setSoundDirectory(folder);
    std::vector<uint8_t> bytes = composeSetupBytes();
    keyBank = saved;
    masterVolume = savedMaster;
    setSoundDirectory(savedFolder);
    return bytes;
}

// A section of a setup's extension: four characters of id, the length as 32
// bits big-endian (the body's own unless given), the body.
inline std::vector<uint8_t> setupSection(const char* id, const std::vector<uint8_t>& body, uint32_t length) {
    std::vector<uint8_t> section(id, id + 4);
    for (int shift = 24; shift >= 0; shift -= 8) section.push_back(static_cast<uint8_t>(length >> shift));
    section.insert(section.end(), body.begin(), body.end());
    return section;
}
inline std::vector<uint8_t> setupSection(const char* id, const std::vector<uint8_t>& body) {
    return setupSection(id, body, static_cast<uint32_t>(body.size()));
}

// A saved version-8000 file with more sections just before its end section.
inline std::vector<uint8_t> withSectionsBeforeEnd(std::vector<uint8_t> file, const std::vector<uint8_t>& sections) {
    file.insert(file.end() - 8, sections.begin(), sections.end());
    return file;
}
