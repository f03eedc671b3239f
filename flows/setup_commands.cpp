#include "flows/setup_commands.h"

#include <cstdio>
#include <cstring>

#include "base/dialogs.h"
#include "base/joined_text.h"
#include "base/utf8_text.h"
#include "flows/sound_loading.h"
#include "keys/key_display.h"
#include "keys/key_voices.h"
#include "library/sound_directory.h"
#include "setup/document.h"
#include "setup/kit_folder.h"
#include "setup/setup_dialogs.h"
#include "setup/setup_file.h"
#include "setup/setup_storage.h"

namespace {

void setDocumentFile(const char* path, const char* name) {
    std::snprintf(document.setupPath, sizeof document.setupPath, "%s", path);
    std::snprintf(document.setupName, sizeof document.setupName, "%s", name);
}

void showTooLongDirectory() {
    char text[ShownTextCapacity];
    // Counted in bytes of UTF-8, as the setup file stores it.
    joinText(text, sizeof text,
             {"The sound folder path is too long to be saved in a setup (at most 126 bytes; a letter outside A-Z "
              "takes 2 to 4):\n",
              soundDirectory});
    showMessage(text);
}

// The setup writer: the whole file or nothing. The modified flag is cleared
// only when every byte reached the file.
void writeSetup(const char* path, SaveTarget target) {
    if (!soundDirectoryFitsSetup()) {
        showTooLongDirectory();
        return;
    }
    if (storeSetupFile(path, target, composeSetupBytes())) document.modified = false;
    else showMessage("problem.");
}

// Shows what the reader met, one message for each thing the user must know:
// the version first, then what became of the settings after the old layout.
void readSetup(const char* path) {
    std::vector<uint8_t> bytes;
    // One byte past the limit tells a file that is too large from one that fits.
    if (!readSetupFile(path, MaxSetupSize + 1, bytes) || bytes.size() > MaxSetupSize) {
        showMessage(ErrorReadingFileText);
        return;
    }
    SetupExtensionResult extension = SetupExtensionResult::Read;
    switch (readSetupBytes(bytes.data(), bytes.size(), extension)) {
    case SetupReadResult::TooShort:
        showMessage(ErrorReadingFileText);
        return;
    case SetupReadResult::ReadNewerVersion:
        showMessage(NewerVersionText);
        break;
    case SetupReadResult::Read:
        break;
    }
    switch (extension) {
    case SetupExtensionResult::Damaged:
        showMessage(UnreadableSettingsText);
        break;
    case SetupExtensionResult::UnknownSections:
        showMessage(DroppedSettingsText);
        break;
    case SetupExtensionResult::Read:
        break;
    }
}

// A kit moved or unzipped elsewhere: its stored folder is gone, but the folder
// of the same name beside the setup file holds its sounds. The setup keeps
// storing the old folder until it is saved, and finds this one again.
bool loadSoundFolderBesideSetup() {
    char beside[PathCapacity];
    if (!folderBesideSetup(document.setupPath, soundDirectory, beside)) return false;
    char stored[PathCapacity];
    std::memcpy(stored, soundDirectory, sizeof stored);
    std::memcpy(soundDirectory, beside, sizeof soundDirectory);
    if (loadSoundDirectory()) return true;
    // The question that follows names the folder the setup stores.
    std::memcpy(soundDirectory, stored, sizeof soundDirectory);
    return false;
}

void askToFindSoundDirectory() {
    char text[ShownTextCapacity];
    joinText(text, sizeof text,
             {"Problem locating sound directory:\n", soundDirectory, "\nDo you want to try and find it?"});
    // Without a folder the keys keep the sounds they had; their files of
    // their own are loaded all the same.
    if (askOkCancel(text) != AnswerOk) {
        giveOwnFilesVoices();
        return;
    }
    document.modified = true;
    if (!importSounds()) giveOwnFilesVoices();
}

}  // namespace

SaveChangesResult confirmSaveChanges() {
    if (!document.modified) return SaveChangesResult::Proceed;
    char text[ShownTextCapacity];
    joinText(text, sizeof text, {"Save changes to \"", document.setupName, "\"?"});
    switch (askSaveChanges(text)) {
    case AnswerSave:
        saveSetup();
        return document.modified ? SaveChangesResult::Stop : SaveChangesResult::Proceed;
    case AnswerDontSave:
        return SaveChangesResult::Proceed;
    default:
        return SaveChangesResult::Stop;
    }
}

void openSetupFile(const char* file) {
    // Copied first: the caller may hand over the document's own path.
    char path[PathCapacity] = "";
    char name[PathCapacity] = "";
    if (file) {
        // A cut path would name another file, and opening makes what is missing.
        if (!fitsPath(file)) {
            showMessage(ErrorReadingFileText);
            return;
        }
        std::memcpy(path, file, std::strlen(file) + 1);
        std::snprintf(name, sizeof name, "%s", fileNamePart(path));
    } else {
        FileChoice choice = askOpenSetupPath(path, name);
        if (choice == FileChoice::Failed) showMessage("Problem Opening File");
        if (choice != FileChoice::Chosen) return;
    }
    setDocumentFile(path, name);

    readSetup(document.setupPath);
    // The selected key may have another mode now: its old light must go too.
    invalidateTriggerModeButtons();
    redrawAllKeyCaps();
    drawMasterVolumeBar();
    if (loadSoundDirectory() || loadSoundFolderBesideSetup()) {
        document.modified = false;
        updateWindowTitle();
        return;
    }
    askToFindSoundDirectory();
}

void saveSetup() {
    if (document.setupPath[0] == '\0') {
        saveSetupAs();
        return;
    }
    writeSetup(document.setupPath, SaveTarget::ExistingFile);
}

void saveSetupAs() {
    char path[PathCapacity] = "";
    char name[PathCapacity] = "";
    FileChoice choice = askSaveSetupPath(document.setupName, path, name);
    if (choice == FileChoice::Failed) showMessage("Problem Saving File");
    if (choice != FileChoice::Chosen) return;
    setDocumentFile(path, name);
    writeSetup(document.setupPath, SaveTarget::AnyFile);
    updateWindowTitle();
}
