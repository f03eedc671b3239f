// Writes the demo setup: the start-up key layout playing the demo sounds, with
// the drums set to play through once.
//   make_demo_setup <setup file> <sound folder as the program sees it>
#include <cstdio>
#include <cstring>
#include <vector>

#include "keys/key_banks.h"
#include "library/sound_directory.h"
#include "setup/legacy_code_page.h"
#include "setup/setup_file.h"
#include "setup/window_title.h"

// This tool has no window: the title it would set goes nowhere.
void setMainWindowTitle(const char*) {}
// Nor a panel to show another bank on.
void showShownBank() {}
// Nor does it read setups, whose folder may need converting.
bool convertFromLegacyCodePage(const char*, char*) { return false; }
// Nor does it load sounds, which may have a message to show or be decoded.
void showMessage(const char*) {}
void tellSoundDecoded() {}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_demo_setup <setup file> <sound folder>\n");
        return 2;
    }
    initKeyBanks();
    // The A row plays basses and chords while held; drums play once through.
    for (int k = 26; k < KeyCount; ++k) {
        int16_t sound = keyBank.slots[k].soundIndex;
        bool sustained = sound >= 2 && sound <= 9;  // the four basses and four chords
        keyBank.slots[k].triggerMode = sustained ? HoldStop : HoldFinish;
    }
    std::snprintf(soundDirectory, sizeof soundDirectory, "%s", argv[2]);
    if (!soundDirectoryFitsSetup()) {
        std::fprintf(stderr, "sound folder path longer than %d characters: %s\n", MaxStoredDirectoryLength, argv[2]);
        return 1;
    }
    std::vector<uint8_t> bytes = composeSetupBytes();
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
