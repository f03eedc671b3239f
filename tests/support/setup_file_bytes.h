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

// The current keys with key 13's note changed, master volume 4 and the given
// sound folder; the program's own state is left as it was.
inline std::vector<uint8_t> setupFileWith(const std::string& folder, int16_t note13) {
    KeyBank saved = keyBank;
    int16_t savedMaster = masterVolume;
    char savedFolder[PathCapacity];
    std::snprintf(savedFolder, PathCapacity, "%s", soundDirectory);
    keyBank.slots[13].note = note13;
    masterVolume = 4;
    setSoundDirectory(folder);
    std::vector<uint8_t> bytes = composeSetupBytes();
    keyBank = saved;
    masterVolume = savedMaster;
    setSoundDirectory(savedFolder);
    return bytes;
}
