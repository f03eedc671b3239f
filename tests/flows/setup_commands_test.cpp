// Open Setup, Save Setup, Save Setup As and the prompt to save changes.
#include "flows/setup_commands.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "base/dialogs.h"
#include "edit/key_clipboard.h"
#include "edit/undo.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_main_window.h"
#include "fakes/fake_setup_dialogs.h"
#include "fakes/fake_setup_storage.h"
#include "fakes/fake_sound_folder.h"
#include "fakes/fake_sound_list_window.h"
#include "fakes/fake_voice.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/pitch_volume.h"
#include "library/sound_directory.h"
#include "setup/document.h"
#include "setup/setup_dialogs.h"
#include "setup/setup_file.h"
#include "support/edit_commands_fixture.h"
#include "support/program_test.h"
#include "support/setup_file_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Calls = std::vector<std::string>;

const char* const LivePath = "C:\\Setups\\live.qpd";
const char* const NewerPath = "C:\\Setups\\newer.qpd";
const std::string NewerWarning =
    "dialog message WARNING: This setup is from a newer version! Do you want to force it open?";
const std::string UnreadableSettings =
    "dialog message Some settings of this setup could not be read; the keys use their defaults.";
const std::string DroppedSettings =
    "dialog message This setup holds settings of a newer Quillpad; saving it here leaves them out.";

Bytes withVersion(Bytes file, int version) {
    file[0] = static_cast<uint8_t>(version >> 8);
    file[1] = static_cast<uint8_t>(version & 0xFF);
    return file;
}

std::vector<std::string> dialogCalls() { return callsStartingWith("dialog "); }

class SetupFixture : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();
        fakeSoundFolder.existingFolders = {"C:\\Sounds\\Drums", "C:\\Sounds\\Pads"};
        callLog.clear();
    }

    static void chooseToOpen(const std::string& path) {
        fakeSetupDialogs.openChoice = FileChoice::Chosen;
        fakeSetupDialogs.openPath = path;
    }
    static void chooseToSaveAs(const std::string& path) {
        fakeSetupDialogs.saveChoice = FileChoice::Chosen;
        fakeSetupDialogs.savePath = path;
    }
    static void setDocumentPath(const char* path, const char* name) {
        std::snprintf(document.setupPath, PathCapacity, "%s", path);
        std::snprintf(document.setupName, PathCapacity, "%s", name);
    }
};

class SaveChangesPrompt : public SetupFixture {};
class SavingSetups : public SetupFixture {};
class OpeningSetups : public SetupFixture {};
// Setups that hold settings after the old layout: the keys' properties and
// whatever a newer Quillpad adds.
class OpeningExtendedSetups : public SetupFixture {};
// Kits that travel: a setup moved with its sound folder beside it.
class OpeningMovedKits : public SetupFixture {};
// Undo and the clipboard belong to the program, not to the setup.
class EditingAcrossSetups : public EditCommands {};

TEST_F(SaveChangesPrompt, AnUnmodifiedSetupIsReplacedOrClosedWithoutAsking) {
    EXPECT_EQ(confirmSaveChanges(), SaveChangesResult::Proceed);
    EXPECT_TRUE(dialogCalls().empty());
}

TEST_F(SaveChangesPrompt, AModifiedSetupAsksWithItsNameAndFollowsTheAnswer) {
    document.modified = true;
    fakeDialogs.answers = {AnswerDontSave, AnswerCancel};
    EXPECT_EQ(confirmSaveChanges(), SaveChangesResult::Proceed);
    EXPECT_EQ(confirmSaveChanges(), SaveChangesResult::Stop);
    EXPECT_EQ(dialogCalls(), (Calls{"dialog savechanges Save changes to \"Untitled\"?",
                                    "dialog savechanges Save changes to \"Untitled\"?"}));
    EXPECT_TRUE(document.modified);
    EXPECT_TRUE(fakeSetupStorage.files.empty());
}

TEST_F(SaveChangesPrompt, AnsweringSaveProceedsOnlyWhenTheSaveHappened) {
    setDocumentPath(LivePath, "live.qpd");
    fakeSetupStorage.files[LivePath] = {1, 2, 3};
    document.modified = true;
    fakeDialogs.answers = {AnswerSave};
    EXPECT_EQ(confirmSaveChanges(), SaveChangesResult::Proceed);
    EXPECT_EQ(dialogCalls(), (Calls{"dialog savechanges Save changes to \"live.qpd\"?"}));
    EXPECT_EQ(fakeSetupStorage.files[LivePath], composeSetupBytes());
    EXPECT_FALSE(document.modified);
}

TEST_F(SaveChangesPrompt, AnsweringSaveThenCancellingSaveAsStops) {
    document.modified = true;
    fakeDialogs.answers = {AnswerSave};
    EXPECT_EQ(confirmSaveChanges(), SaveChangesResult::Stop);
    EXPECT_EQ(dialogCalls(), (Calls{"dialog savechanges Save changes to \"Untitled\"?", "dialog save setup Untitled"}));
    EXPECT_TRUE(document.modified);
    EXPECT_STREQ(document.setupName, "Untitled");
}

TEST_F(SaveChangesPrompt, TitleAndPromptTextsAreCutAt255Characters) {
    std::string name(250, 'n');
    setDocumentPath("", name.c_str());
    std::snprintf(soundDirectoryTitle, PathCapacity, "Drums");
    updateWindowTitle();
    EXPECT_EQ(fakeMainWindow.title, name + "  usi");
    document.modified = true;
    fakeDialogs.answers = {AnswerCancel};
    confirmSaveChanges();
    EXPECT_EQ(dialogCalls(), (Calls{"dialog savechanges Save changes to \"" + name.substr(0, 255 - 17)}));
}

TEST_F(SaveChangesPrompt, TitlesAreCutAt255CharactersOfAnyScriptAndNeverInsideOne) {
    std::string name;
    for (int i = 0; i < 128; ++i) name += "\xC3\xA9\xE6\x97\xA5";  // é日
    setDocumentPath("", name.c_str());
    updateWindowTitle();
    EXPECT_EQ(fakeMainWindow.title, name.substr(0, 5 * 127) + "\xC3\xA9");
}

TEST_F(SavingSetups, SaveWithoutAFileRunsSaveAsWhichNamesAndTitlesTheSetup) {
    setSoundDirectory("C:\\Sounds\\Drums");
    std::snprintf(soundDirectoryTitle, PathCapacity, "Drums");
    document.modified = true;
    chooseToSaveAs(LivePath);
    saveSetup();
    EXPECT_EQ(dialogCalls(), (Calls{"dialog save setup Untitled"}));
    EXPECT_EQ(fakeSetupStorage.files[LivePath], composeSetupBytes());
    EXPECT_STREQ(document.setupPath, LivePath);
    EXPECT_STREQ(document.setupName, "live.qpd");
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(fakeMainWindow.title, "live.qpd  using:  Drums");
}

TEST_F(SavingSetups, SaveWritesToTheSetupPathAndLeavesTheTitle) {
    setDocumentPath(LivePath, "live.qpd");
    fakeSetupStorage.files[LivePath] = {};
    document.modified = true;
    keyBank.slots[3].note = 99;
    saveSetup();
    EXPECT_EQ(fakeSetupStorage.files[LivePath], composeSetupBytes());
    EXPECT_FALSE(document.modified);
    EXPECT_TRUE(dialogCalls().empty());
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");
}

TEST_F(SavingSetups, AFailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    setDocumentPath(LivePath, "live.qpd");
    const Bytes old = {9, 9, 9};
    fakeSetupStorage.files[LivePath] = old;
    document.modified = true;

    fakeSetupStorage.writesFail = true;
    saveSetup();
    EXPECT_EQ(fakeSetupStorage.files[LivePath], old);
    EXPECT_TRUE(document.modified);

    fakeSetupStorage.writesFail = false;
    fakeSetupStorage.locked.insert(LivePath);
    saveSetup();
    EXPECT_EQ(fakeSetupStorage.files[LivePath], old);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(dialogCalls(), (Calls{"dialog message problem.", "dialog message problem."}));
}

TEST_F(SavingSetups, SaveDoesNotMakeAFileThatHasGone) {
    setDocumentPath(LivePath, "live.qpd");
    document.modified = true;
    saveSetup();
    EXPECT_EQ(fakeSetupStorage.files.count(LivePath), 0u);
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(dialogCalls(), (Calls{"dialog message problem."}));
}

TEST_F(SavingSetups, AFailedSaveAsSaysSoAndStillTakesTheNewName) {
    document.modified = true;
    chooseToSaveAs(LivePath);
    fakeSetupStorage.locked.insert(LivePath);
    saveSetupAs();
    EXPECT_EQ(dialogCalls(), (Calls{"dialog save setup Untitled", "dialog message problem."}));
    EXPECT_TRUE(document.modified);
    EXPECT_STREQ(document.setupName, "live.qpd");
    EXPECT_EQ(fakeMainWindow.title, "live.qpd  using:  ");
}

TEST_F(SavingSetups, FileDialogsThatFailSaySoAndCancelledOnesSayNothing) {
    document.modified = true;
    fakeSetupDialogs.saveChoice = FileChoice::Failed;
    fakeSetupDialogs.openChoice = FileChoice::Failed;
    saveSetupAs();
    openSetupFile();
    fakeSetupDialogs.saveChoice = FileChoice::Cancelled;
    fakeSetupDialogs.openChoice = FileChoice::Cancelled;
    saveSetupAs();
    openSetupFile();
    EXPECT_EQ(dialogCalls(),
              (Calls{"dialog save setup Untitled", "dialog message Problem Saving File", "dialog open setup",
                     "dialog message Problem Opening File", "dialog save setup Untitled", "dialog open setup"}));
    EXPECT_TRUE(document.modified);
    EXPECT_STREQ(document.setupName, "Untitled");
    EXPECT_STREQ(document.setupPath, "");
    EXPECT_TRUE(fakeSetupStorage.files.empty());
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");
}

TEST_F(SavingSetups, ASoundFolderPathOver126BytesIsRefusedSayingSoAndNothingWritten) {
    std::string tooLong = "C:\\" + std::string(124, 'x');  // 127 characters
    setSoundDirectory(tooLong);
    setDocumentPath(LivePath, "live.qpd");
    const Bytes old = {7, 7};
    fakeSetupStorage.files[LivePath] = old;
    document.modified = true;
    saveSetup();
    chooseToSaveAs("C:\\Setups\\other.qpd");
    saveSetupAs();
    const std::string refused =
        "dialog message The sound folder path is too long to be saved in a setup (at most "
        "126 bytes; a letter outside A-Z takes 2 to 4):\n";
    EXPECT_EQ(dialogCalls(), (Calls{refused + tooLong, "dialog save setup live.qpd", refused + tooLong}));
    EXPECT_EQ(fakeSetupStorage.files, (std::map<std::string, Bytes>{{LivePath, old}}));
    EXPECT_TRUE(document.modified);

    std::string japanese = "C:\\";
    for (int n = 0; n < 42; ++n) japanese += "\u97f3";  // 45 characters, 129 bytes
    setSoundDirectory(japanese);
    callLog.clear();
    saveSetup();
    EXPECT_EQ(dialogCalls(), (Calls{refused + japanese}));

    tooLong.pop_back();  // 126 fits
    setSoundDirectory(tooLong);
    saveSetupAs();
    EXPECT_EQ(fakeSetupStorage.files["C:\\Setups\\other.qpd"].size(), 1039u + 126);
    EXPECT_FALSE(document.modified);
}

TEST_F(OpeningSetups, OpeningASetupLoadsItsFolderAndClearsTheModifiedFlag) {
    fakeSetupStorage.files["C:\\Setups\\set.qpd"] = setupFileWith("C:\\Sounds\\Drums", 71);
    chooseToOpen("C:\\Setups\\set.qpd");
    document.modified = true;
    openSetupFile();

    EXPECT_EQ(keyBank.slots[13].note, 71);
    EXPECT_EQ(masterVolume, 4);
    EXPECT_STREQ(soundDirectory, "C:\\Sounds\\Drums");
    EXPECT_STREQ(document.setupPath, "C:\\Setups\\set.qpd");
    EXPECT_STREQ(document.setupName, "set.qpd");
    EXPECT_FALSE(document.modified);  // although loading the folder set it
    EXPECT_EQ(fakeMainWindow.title, "set.qpd  using:  Drums");
    EXPECT_EQ(dialogCalls(), (Calls{"dialog open setup"}));
    // The caps and the master bar are redrawn from the file before the folder loads.
    Calls order = callLog;
    auto at = [&](const std::string& call) { return std::find(order.begin(), order.end(), call) - order.begin(); };
    ASSERT_LT(at("folder set C:\\Sounds\\Drums"), static_cast<long>(order.size()));
    EXPECT_LT(at("file read C:\\Setups\\set.qpd"), at("panel redrawAllKeyCaps"));
    EXPECT_LT(at("panel redrawAllKeyCaps"), at("panel drawMasterVolumeBar"));
    EXPECT_LT(at("panel drawMasterVolumeBar"), at("folder set C:\\Sounds\\Drums"));
}

TEST_F(OpeningSetups, AMissingSoundFolderAsksAndCancelKeepsTheOldSounds) {
    fakeSetupStorage.files["C:\\Setups\\set.qpd"] = setupFileWith("C:\\Gone\\Kit", 72);
    FakeVoice voice("voice13");
    keyBank.slots[13].voice = &voice;
    document.modified = true;
    fakeDialogs.answers = {AnswerCancel};
    openSetupFile("C:\\Setups\\set.qpd");

    EXPECT_EQ(
        dialogCalls(),
        (Calls{"dialog okcancel Problem locating sound directory:\nC:\\Gone\\Kit\nDo you want to try and find it?"}));
    EXPECT_EQ(keyBank.slots[13].note, 72);
    EXPECT_EQ(keyBank.slots[13].voice, &voice);
    EXPECT_FALSE(voice.released);
    EXPECT_STREQ(soundDirectory, "C:\\Gone\\Kit");
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");
    EXPECT_STREQ(document.setupName, "set.qpd");
    keyBank.slots[13].voice = nullptr;
}

TEST_F(OpeningSetups, AKeysOwnFileIsAskedForEvenWhenTheSetupsFolderIsNotFound) {
    keyBank.slots[3].ownFile = ownFileNumber("C:\\Setups\\Loops\\beat.wav");
    keyBank.slots[3].soundIndex = -1;
    fakeSetupStorage.files["C:\\Setups\\set.qpd"] = setupFileWith("C:\\Gone\\Kit", 72);
    fakeDialogs.answers = {AnswerCancel};
    openSetupFile("C:\\Setups\\set.qpd");
    ASSERT_GT(keyBank.slots[3].ownFile, 0);
    EXPECT_EQ(soundState({true, keyBank.slots[3].ownFile}), SoundState::Loading);
}

TEST_F(OpeningSetups, AMissingSoundFolderAnsweredOkImportsSounds) {
    fakeSetupStorage.files["C:\\Setups\\set.qpd"] = setupFileWith("C:\\Gone", 72);
    fakeDialogs.answers = {AnswerOk};
    fakeSoundFolder.importChosen = false;
    openSetupFile("C:\\Setups\\set.qpd");
    EXPECT_EQ(dialogCalls(), (Calls{"dialog okcancel Problem locating sound directory:\nC:\\Gone\nDo you want to "
                                    "try and find it?",
                                    "dialog import"}));
    EXPECT_TRUE(document.modified);  // the Import dialog was cancelled
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");

    fakeDialogs.answers = {AnswerOk};
    fakeSoundFolder.importChosen = true;
    fakeSoundFolder.importFolder = "C:\\Sounds\\Pads";
    openSetupFile("C:\\Setups\\set.qpd");
    EXPECT_STREQ(soundDirectory, "C:\\Sounds\\Pads");
    EXPECT_TRUE(document.modified);  // the setup now differs from its file
    EXPECT_EQ(fakeMainWindow.title, "set.qpd  using:  Pads");
}

TEST_F(OpeningSetups, ASetupThatCannotBeReadChangesNoKeyButTheFlowGoesOn) {
    setSoundDirectory("C:\\Sounds\\Drums");
    keyBank.slots[13].note = 30;
    fakeSetupStorage.files["C:\\Setups\\short.qpd"] = Bytes(600, 0x1F);
    fakeSetupStorage.locked.insert("C:\\Setups\\locked.qpd");
    const char* opened[] = {"C:\\Setups\\new.qpd", "C:\\Setups\\short.qpd", "C:\\Setups\\locked.qpd"};
    for (const char* path : opened) {
        callLog.clear();
        document.modified = true;
        chooseToOpen(path);
        openSetupFile();
        EXPECT_EQ(dialogCalls(), (Calls{"dialog open setup", "dialog message Error reading file."})) << path;
        EXPECT_EQ(keyBank.slots[13].note, 30) << path;
        EXPECT_EQ(masterVolume, 10) << path;
        EXPECT_FALSE(document.modified) << path;  // the current folder loaded again
        EXPECT_STREQ(document.setupPath, path);
    }
    EXPECT_EQ(fakeMainWindow.title, "locked.qpd  using:  Drums");
    // A new name typed in the Open dialog is made as an empty file.
    EXPECT_EQ(fakeSetupStorage.files.count("C:\\Setups\\new.qpd"), 1u);
    EXPECT_TRUE(fakeSetupStorage.files["C:\\Setups\\new.qpd"].empty());
}

TEST_F(OpeningSetups, ASetupFromANewerVersionOpensWithAWarning) {
    setSoundDirectory("C:\\Sounds\\Drums");
    Bytes newer = setupFileWith("C:\\Sounds\\Pads", 64);
    newer[0] = 0x1F;
    newer[1] = 0x3C;  // 7996
    fakeSetupStorage.files["C:\\Setups\\newer.qpd"] = newer;
    openSetupFile("C:\\Setups\\newer.qpd");
    EXPECT_EQ(dialogCalls(),
              (Calls{"dialog message WARNING: This setup is from a newer version! Do you want to force it open?"}));
    EXPECT_EQ(keyBank.slots[13].note, 64);
    EXPECT_STREQ(soundDirectory, "C:\\Sounds\\Pads");
    EXPECT_FALSE(document.modified);
}

TEST_F(OpeningSetups, AFileFromOutsideMayBeTheDocumentsOwnPath) {
    fakeSetupStorage.files["C:\\Setups\\set.qpd"] = setupFileWith("C:\\Sounds\\Drums", 64);
    setDocumentPath("C:\\Setups\\set.qpd", "set.qpd");
    openSetupFile(document.setupPath);
    EXPECT_STREQ(document.setupPath, "C:\\Setups\\set.qpd");
    EXPECT_STREQ(document.setupName, "set.qpd");
    EXPECT_EQ(keyBank.slots[13].note, 64);
}

TEST_F(OpeningSetups, APathTooLongToHoldIsNotOpened) {
    std::string path = "C:\\" + std::string(300, 'p') + ".qpd";
    openSetupFile(path.c_str());
    EXPECT_EQ(dialogCalls(), (Calls{"dialog message Error reading file."}));
    EXPECT_TRUE(callsStartingWith("file ").empty());
    EXPECT_STREQ(document.setupName, "Untitled");
}

TEST_F(OpeningExtendedSetups, EveryVersionAbove7995WarnsButQuillpadsOwn8000) {
    const Bytes file = setupFileWith("C:\\Sounds\\Pads", 64, 3);
    for (int version : {7996, 7999, 8000, 8001, 32767}) {
        callLog.clear();
        keyBank.slots[13].note = 30;
        fakeSetupStorage.files[NewerPath] = withVersion(file, version);
        openSetupFile(NewerPath);
        EXPECT_EQ(dialogCalls(), version == 8000 ? Calls{} : Calls{NewerWarning}) << version;
        EXPECT_EQ(keyBank.slots[13].note, 64) << version;
        EXPECT_EQ(keyBank.slots[13].chokeGroup, version >= 8000 ? 3 : 0) << version;
    }
}

TEST_F(OpeningExtendedSetups, ADamagedExtensionOpensTheOldPartWithDefaultPropertiesSayingSoAndLeavesTheFile) {
    Bytes file = setupFileWith("C:\\Sounds\\Pads", 64, 3);
    file.pop_back();  // the end section cut short
    for (int version : {8000, 8001}) {
        callLog.clear();
        const Bytes damaged = withVersion(file, version);
        fakeSetupStorage.files[NewerPath] = damaged;
        keyBank.slots[20].fadeInMilliseconds = 50;
        document.modified = true;
        openSetupFile(NewerPath);
        EXPECT_EQ(dialogCalls(),
                  version == 8000 ? Calls{UnreadableSettings} : (Calls{NewerWarning, UnreadableSettings}));
        EXPECT_EQ(keyBank.slots[13].note, 64);
        EXPECT_STREQ(soundDirectory, "C:\\Sounds\\Pads");
        EXPECT_EQ(keyBank.slots[13].chokeGroup, 0);
        EXPECT_EQ(keyBank.slots[20].fadeInMilliseconds, 0);
        EXPECT_FALSE(document.modified);
        EXPECT_EQ(fakeSetupStorage.files[NewerPath], damaged);
        EXPECT_TRUE(callsStartingWith("file store").empty());
    }
}

TEST_F(OpeningExtendedSetups, ASetupOfBanksOpensOnBank1AndADamagedBankSaysSoDropsEveryBankAndLeavesTheFile) {
    bankOf(2).slots[5].note = 70;
    bankOf(6).slots[9].chokeGroup = 2;
    const std::string folder = "C:\\Sounds\\Pads";
    const Bytes file = setupFileWith(folder, 64);
    Bytes damaged = file;
    const size_t bank3Number = SetupBaseSize + folder.size() + 8;
    ASSERT_EQ(damaged[bank3Number + 1], 3);
    damaged[bank3Number + 1] = 9;
    fakeSetupStorage.files[LivePath] = file;
    fakeSetupStorage.files[NewerPath] = damaged;

    for (const char* path : {LivePath, NewerPath}) {
        callLog.clear();
        resetHiddenBanks();
        bankOf(1).slots[0].volume = 3;
        showBank(4);
        keyBank.slots[13].note = 30;
        document.modified = true;
        openSetupFile(path);
        bool whole = path == LivePath;
        EXPECT_EQ(dialogCalls(), whole ? Calls{} : Calls{UnreadableSettings}) << path;
        EXPECT_EQ(shownBank, 0) << path;
        EXPECT_EQ(keyBank.slots[13].note, 64) << path;
        EXPECT_EQ(bankOf(2).slots[5].note, whole ? 70 : 53) << path;
        EXPECT_EQ(bankOf(6).slots[9].chokeGroup, whole ? 2 : 0) << path;
        EXPECT_TRUE(holdsStartUpLayout(1) && holdsStartUpLayout(4)) << path;
        EXPECT_FALSE(document.modified) << path;
        EXPECT_TRUE(callsStartingWith("file store").empty()) << path;
    }
    EXPECT_EQ(fakeSetupStorage.files[LivePath], file);
    EXPECT_EQ(fakeSetupStorage.files[NewerPath], damaged);
}

TEST_F(OpeningExtendedSetups, SectionsOfANewerQuillpadAreNamedOnceAndLeftOutOfTheNextSave) {
    const Bytes known = setupFileWith("C:\\Sounds\\Pads", 64, 3);
    Bytes sections = setupSection("BANK", Bytes(40, 1));
    Bytes second = setupSection("FILE", {});
    sections.insert(sections.end(), second.begin(), second.end());
    const Bytes file = withSectionsBeforeEnd(known, sections);
    fakeSetupStorage.files[LivePath] = file;
    openSetupFile(LivePath);
    EXPECT_EQ(dialogCalls(), (Calls{DroppedSettings}));
    EXPECT_EQ(keyBank.slots[13].chokeGroup, 3);
    EXPECT_EQ(fakeSetupStorage.files[LivePath], file);
    EXPECT_FALSE(document.modified);

    saveSetup();
    EXPECT_EQ(fakeSetupStorage.files[LivePath], known);
    callLog.clear();
    openSetupFile(LivePath);
    EXPECT_TRUE(dialogCalls().empty());
    EXPECT_EQ(keyBank.slots[13].chokeGroup, 3);

    callLog.clear();
    fakeSetupStorage.files[NewerPath] = withVersion(file, 8001);
    openSetupFile(NewerPath);
    EXPECT_EQ(dialogCalls(), (Calls{NewerWarning, DroppedSettings}));
}

TEST_F(OpeningExtendedSetups, ASetupLargerThanTheLimitIsRefusedAndOneOfTheLimitOpens) {
    setSoundDirectory("C:\\Sounds\\Drums");
    const Bytes known = setupFileWith("C:\\Sounds\\Pads", 64, 3);
    const Bytes largest =
        withSectionsBeforeEnd(known, setupSection("BANK", Bytes(MaxSetupSize - known.size() - 8, 0x55)));
    ASSERT_EQ(largest.size(), MaxSetupSize);
    Bytes tooLarge = largest;
    tooLarge.push_back(0);  // after the end section, where a byte is ignored
    fakeSetupStorage.files[NewerPath] = tooLarge;
    keyBank.slots[13].note = 30;
    openSetupFile(NewerPath);
    EXPECT_EQ(dialogCalls(), (Calls{"dialog message Error reading file."}));
    EXPECT_EQ(keyBank.slots[13].note, 30);
    EXPECT_STREQ(soundDirectory, "C:\\Sounds\\Drums");

    callLog.clear();
    fakeSetupStorage.files[NewerPath] = largest;
    openSetupFile(NewerPath);
    EXPECT_EQ(dialogCalls(), (Calls{DroppedSettings}));
    EXPECT_EQ(keyBank.slots[13].note, 64);
    EXPECT_EQ(keyBank.slots[13].chokeGroup, 3);
}

TEST_F(OpeningMovedKits, AStoredFolderThatExistsIsLoadedEvenWithAFolderOfItsNameBesideTheSetup) {
    fakeSetupStorage.files["D:\\Kits\\set.qpd"] = setupFileWith("C:\\Sounds\\Drums", 72);
    fakeSoundFolder.existingFolders.push_back("D:\\Kits\\Drums");
    openSetupFile("D:\\Kits\\set.qpd");
    EXPECT_STREQ(soundDirectory, "C:\\Sounds\\Drums");
    EXPECT_EQ(callsStartingWith("folder set C:"), (Calls{"folder set C:\\Sounds\\Drums"}));
    EXPECT_TRUE(callsStartingWith("folder set D:").empty());
}

TEST_F(OpeningMovedKits, AMovedKitLoadsTheFolderBesideItsSetupWithoutAskingAndStaysUnmodified) {
    const Bytes stored = setupFileWith("C:\\Gone\\Drums\\", 72);
    fakeSetupStorage.files["D:\\Kits\\set.qpd"] = stored;
    fakeSoundFolder.existingFolders.push_back("D:\\Kits\\Drums");
    fakeSoundFolder.soundsInFolder = {"snare.wav", "kick.wav"};
    // Opened twice: the unmodified file still stores the old folder and is found again.
    for (int time = 0; time < 2; ++time) {
        document.modified = true;
        openSetupFile("D:\\Kits\\set.qpd");
        EXPECT_TRUE(dialogCalls().empty());
        EXPECT_STREQ(soundDirectory, "D:\\Kits\\Drums");
        EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"kick.wav", "snare.wav"}));
        EXPECT_EQ(fakeMainWindow.title, "set.qpd  using:  Drums");
        EXPECT_EQ(keyBank.slots[13].note, 72);
        EXPECT_FALSE(document.modified);
        EXPECT_EQ(fakeSetupStorage.files["D:\\Kits\\set.qpd"], stored);
        EXPECT_STREQ(fakeSoundFolder.currentFolder.c_str(), "/start");  // the current folder is given back
    }
    // A later save stores the new place.
    keyBank.slots[13].note = 73;
    document.modified = true;
    saveSetup();
    EXPECT_EQ(fakeSetupStorage.files["D:\\Kits\\set.qpd"], setupFileWith("D:\\Kits\\Drums", 73));
    EXPECT_FALSE(document.modified);
}

TEST_F(OpeningMovedKits, AMissingFolderWithNoneOfItsNameBesideTheSetupAsksAboutTheStoredOne) {
    // The folders tried: the stored one, then the one of its name beside the
    // setup (a root has no name), each time giving the current folder back.
    const std::map<std::string, Calls> tried = {
        {"C:\\Gone\\Drums",
         {"folder set C:\\Gone\\Drums (missing)", "folder set /start", "folder set D:\\Kits\\Drums (missing)",
          "folder set /start"}},
        {"E:\\", {"folder set E:\\ (missing)", "folder set /start"}},
    };
    for (const auto& [gone, folders] : tried) {
        callLog.clear();
        fakeSetupStorage.files["D:\\Kits\\set.qpd"] = setupFileWith(gone, 72);
        fakeDialogs.answers = {AnswerCancel};
        openSetupFile("D:\\Kits\\set.qpd");
        EXPECT_EQ(callsStartingWith("folder set "), folders);
        EXPECT_EQ(dialogCalls(), (Calls{"dialog okcancel Problem locating sound directory:\n" + gone +
                                        "\nDo you want to try and find it?"}));
        EXPECT_STREQ(soundDirectory, gone.c_str());
        EXPECT_FALSE(document.modified);
        EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");
    }
}

TEST_F(EditingAcrossSetups, SnapshotAndClipboardSurviveOpeningAnotherSetupWithItsSounds) {
    fakeSoundFolder.existingFolders = {"C:\\Sounds"};
    setSoundDirectory("C:\\Sounds");
    keyBank.slots[5].note = 70;
    fakeSetupStorage.files["C:\\Setups\\other.qpd"] = composeSetupBytes();
    keyBank.slots[5].note = 53;

    select(5);
    pressNoteUp();  // 53 -> 54
    copyKey();
    openSetupFile("C:\\Setups\\other.qpd");
    EXPECT_EQ(keyBank.slots[5].note, 70);
    EXPECT_FALSE(document.modified);
    EXPECT_TRUE(callsStartingWith("menu grey").empty());

    select(6);
    undoRedo();
    EXPECT_EQ(keyBank.selectedKey, 5);
    EXPECT_EQ(keyBank.slots[5].note, 53);
    select(6);
    pasteKey();
    EXPECT_EQ(keyBank.slots[6].note, 54);
    EXPECT_FALSE(undoSnapshot.empty);
    EXPECT_FALSE(keyClipboard.empty);
}

}  // namespace
