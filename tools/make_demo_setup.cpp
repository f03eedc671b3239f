// Writes the demo setup: the start-up key layout playing the demo sounds, with
// the drums set to play through once.
//   make_demo_setup <setup file> <sound folder as the program sees it>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/dialogs.h"
#include "app/input.h"
#include "app/main_window.h"
#include "app/menu.h"
#include "app/registry.h"
#include "audio/audio_output.h"
#include "keys/key_bank.h"
#include "library/sound_directory.h"
#include "library/sound_folder.h"
#include "library/sound_list_window.h"
#include "panel/panel_redraw.h"
#include "setup/document.h"
#include "setup/setup_file.h"

// This tool has no device, no panel and no window: the program's seams do nothing here.
bool openAudioOutput(AudioOutput) { return false; }
void closeAudioOutput() {}
bool readProgramSetting(const char*, char*, size_t) { return false; }
void writeProgramSetting(const char*, const char*) {}
void refreshSelectedKey() {}
void redrawKeyCap(int) {}
void redrawAllKeyCaps() {}
void drawMuteButton() {}
void drawMasterVolumeBar() {}
void drawKeyCapLabelIdle(int) {}
void drawNoteDisplay() {}
void drawFineTuneDisplay() {}
void drawVolumeDisplay() {}
void drawPanKnob(int) {}
void invalidateKeyCap(int) {}
void invalidateTriggerModeButtons() {}
void setMenuItemEnabled(int, bool) {}
void setMenuItemText(int, const char*) {}
void setMenuItemChecked(int, bool) {}
void setMainWindowTitle(const char*) {}
int showMessage(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    return 1;
}
int askOkCancel(const char*) { return 0; }
int askSaveChanges(const char*) { return 0; }
bool isAltDown() { return false; }
bool isCtrlDown() { return false; }
bool isLeftButtonDown() { return false; }
uint32_t tickCount() { return 0; }
int pointerScreenX() { return 0; }
int pointerScreenXAtPress() { return 0; }
int soundListCount() { return 0; }
bool soundListText(int, char*) { return false; }
int soundListSelection() { return NoSelection; }
void soundListSelect(int) {}
void soundListClear() {}
void soundListInsertAt(int, const char*) {}
void soundListHoldDrawing(bool) {}
int compareSoundNames(const char* a, const char* b) { return std::strcmp(a, b); }
bool getCurrentFolder(char*) { return false; }
bool setCurrentFolder(const char*) { return false; }
void folderTitle(const char*, char* title) { title[0] = '\0'; }
void forEachWaveFile(void (*)(const char*, void*), void*) {}
bool askImportSoundFolder(char*) { return false; }

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_demo_setup <setup file> <sound folder>\n");
        return 2;
    }
    initKeyBank();
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
