// Setup files that arrive from outside: the command line and dropped files,
// directly or through a shell shortcut.
#include "flows/outside_files.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "base/dialogs.h"
#include "fakes/call_log.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_external_file.h"
#include "fakes/fake_main_window.h"
#include "fakes/fake_setup_storage.h"
#include "fakes/fake_sound_folder.h"
#include "flows/start_up.h"
#include "keys/key_bank.h"
#include "setup/document.h"
#include "support/program_test.h"
#include "support/setup_file_bytes.h"

namespace {

using Calls = std::vector<std::string>;

const char* const LiveSet = "C:\\Setups\\Live Set.qpd";
const char* const OldSet = "C:\\Setups\\old.qpd";

class FilesFromOutside : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();
        fakeSoundFolder.existingFolders = {"C:\\Sounds\\Drums"};
        addSetupFile(LiveSet);
        callLog.clear();
    }

    // A setup file on disk that the shell knows under the same long name.
    static void addSetupFile(const std::string& path) {
        fakeSetupStorage.files[path] = setupFileWith("C:\\Sounds\\Drums", 71);
        fakeShell.longPaths[path] = path;
    }

    // A modified setup of the user's own, bound to its file.
    static void modifyOldSetup() {
        std::snprintf(document.setupPath, PathCapacity, "%s", OldSet);
        std::snprintf(document.setupName, PathCapacity, "old.qpd");
        fakeSetupStorage.files[OldSet] = {};
        keyBank.slots[13].note = 30;
        document.modified = true;
    }

    static Calls dialogCalls() { return callsStartingWith("dialog "); }
    static Calls fileReads() { return callsStartingWith("file read "); }
};

TEST_F(FilesFromOutside, ACommandLineWithBlanksOpensTheSetupUnderItsName) {
    openExternalFile(LiveSet);
    EXPECT_EQ(fileReads(), (Calls{std::string("file read ") + LiveSet}));
    EXPECT_EQ(keyBank.slots[13].note, 71);
    EXPECT_STREQ(document.setupPath, LiveSet);
    EXPECT_STREQ(document.setupName, "Live Set.qpd");
    EXPECT_FALSE(document.modified);
    EXPECT_EQ(fakeMainWindow.title, "Live Set.qpd  using:  Drums");
    EXPECT_TRUE(dialogCalls().empty());
}

TEST_F(FilesFromOutside, ACommandLineOfAPathInQuotesOpensItAsTheBarePathWould) {
    // As Windows quotes a path with blanks dropped on the program's icon or named in a shortcut.
    for (const char* commandLine : {"\"C:\\Setups\\Live Set.qpd\"", " \t\"C:\\Setups\\Live Set.qpd\" \t"}) {
        callLog.clear();
        openCommandLineFile(commandLine);
        EXPECT_EQ(fileReads(), (Calls{std::string("file read ") + LiveSet})) << commandLine;
        EXPECT_STREQ(document.setupName, "Live Set.qpd");
    }

    // Anything else is taken whole, as a bare path is.
    addSetupFile(OldSet);
    callLog.clear();
    openCommandLineFile(OldSet);
    EXPECT_EQ(fileReads(), (Calls{std::string("file read ") + OldSet}));
    const char* notOpened[] = {"\"C:\\Setups\\Live Set.qpd\" -x", "\"C:\\Setups\\Live \"Set.qpd\"", "\"\"", "\"", "  "};
    for (const char* commandLine : notOpened) {
        callLog.clear();
        openCommandLineFile(commandLine);
        EXPECT_EQ(callLog, Calls{}) << commandLine;
    }
    callLog.clear();
    openCommandLineFile("\"C:\\Setups\\Live Set.qpd");  // a quote with no partner is part of the name
    EXPECT_EQ(callsStartingWith("shell "), (Calls{"shell long path \"C:\\Setups\\Live Set.qpd"}));
    EXPECT_TRUE(fileReads().empty());
}

TEST_F(FilesFromOutside, OnlySetupNamesInLowerOrUpperCaseAreOpened) {
    addSetupFile("C:\\Setups\\live.qpd");
    addSetupFile("C:\\SETUPS\\LIVE.QPD");
    for (const char* path : {"C:\\Setups\\live.qpd", "C:\\SETUPS\\LIVE.QPD"}) {
        callLog.clear();
        openExternalFile(path);
        EXPECT_EQ(fileReads(), (Calls{std::string("file read ") + path}));
        EXPECT_STREQ(document.setupPath, path);
    }

    // Not ours, whatever the state: no prompt, no message, no look-up.
    document.modified = true;
    fakeShell.longPaths["C:\\Setups\\live.Qpd"] = "C:\\Setups\\live.Qpd";
    const char* ignored[] = {"C:\\Setups\\live.Qpd",
                             "C:\\Setups\\live.qPD",
                             "C:\\Sounds\\kick.wav",
                             "C:\\Notes\\read me.txt",
                             "C:\\Setups",
                             "pd",
                             "",
                             "\"C:\\Setups\\Live Set.qpd\""};
    for (const char* path : ignored) {
        callLog.clear();
        openExternalFile(path);
        EXPECT_EQ(callLog, Calls{}) << path;
    }
    EXPECT_STREQ(document.setupPath, "C:\\SETUPS\\LIVE.QPD");
    EXPECT_TRUE(document.modified);
}

TEST_F(FilesFromOutside, TheSuffixIsTheLastThreeCharactersOrTheWholeShortText) {
    char suffix[4];
    fileTypeSuffix("C:\\Setups\\live.qpd", suffix);
    EXPECT_STREQ(suffix, "qpd");
    fileTypeSuffix("pd", suffix);
    EXPECT_STREQ(suffix, "pd");
    fileTypeSuffix("", suffix);
    EXPECT_STREQ(suffix, "");
}

TEST_F(FilesFromOutside, AShortcutOpensItsTargetUnderTheLongName) {
    fakeShell.shortcuts["C:\\Desktop\\live.lnk"] = "C:\\SETUPS\\LIVESE~1.QPD";
    fakeShell.shortcuts["C:\\DESKTOP\\LIVE.LNK"] = "C:\\SETUPS\\LIVESE~1.QPD";
    fakeShell.longPaths["C:\\SETUPS\\LIVESE~1.QPD"] = LiveSet;
    for (const char* shortcut : {"C:\\Desktop\\live.lnk", "C:\\DESKTOP\\LIVE.LNK"}) {
        callLog.clear();
        openExternalFile(shortcut);
        EXPECT_EQ(callsStartingWith("shell "),
                  (Calls{std::string("shell resolve ") + shortcut, "shell long path C:\\SETUPS\\LIVESE~1.QPD"}));
        EXPECT_EQ(fileReads(), (Calls{std::string("file read ") + LiveSet}));
        EXPECT_STREQ(document.setupName, "Live Set.qpd");
        EXPECT_EQ(fakeMainWindow.title, "Live Set.qpd  using:  Drums");
    }
}

TEST_F(FilesFromOutside, AShortcutToAnythingButASetupOpensNothing) {
    fakeShell.shortcuts["C:\\Desktop\\kick.lnk"] = "C:\\SOUNDS\\KICK.WAV";
    fakeShell.shortcuts["C:\\Desktop\\mixed.lnk"] = "C:\\Setups\\live.Qpd";
    fakeShell.shortcuts["C:\\Desktop\\live.Lnk"] = "C:\\SETUPS\\LIVESE~1.QPD";
    for (const char* shortcut : {"C:\\Desktop\\kick.lnk", "C:\\Desktop\\mixed.lnk"}) {
        callLog.clear();
        openExternalFile(shortcut);
        EXPECT_EQ(callLog, (Calls{std::string("shell resolve ") + shortcut})) << shortcut;
    }
    // Not taken for a shortcut at all.
    callLog.clear();
    openExternalFile("C:\\Desktop\\live.Lnk");
    EXPECT_EQ(callLog, Calls{});
    // A shortcut that does not load or resolve is passed over without a word.
    openExternalFile("C:\\Desktop\\broken.lnk");
    EXPECT_EQ(callLog, (Calls{"shell resolve C:\\Desktop\\broken.lnk"}));
    EXPECT_STREQ(document.setupName, "Untitled");
}

TEST_F(FilesFromOutside, AShortcutWhoseTargetCannotBeReadSaysSoAndOpensNothing) {
    // GetPath fails on the first; the second's long form does not fit a path.
    fakeShell.shortcuts["C:\\Desktop\\live.lnk"] = LiveSet;
    fakeShell.targetPathFails.insert("C:\\Desktop\\live.lnk");
    fakeShell.shortcuts["C:\\Desktop\\deep.lnk"] = "C:\\DEEP~1\\SET.QPD";
    fakeShell.unreadable.insert("C:\\DEEP~1\\SET.QPD");
    openExternalFile("C:\\Desktop\\live.lnk");
    openExternalFile("C:\\Desktop\\deep.lnk");
    EXPECT_EQ(dialogCalls(), (Calls{"dialog message GetPath failed!", "dialog message Error reading file."}));
    EXPECT_TRUE(fileReads().empty());
    EXPECT_STREQ(document.setupName, "Untitled");
}

TEST_F(FilesFromOutside, APathTheShellCannotFindChangesNothing) {
    modifyOldSetup();
    callLog.clear();
    openExternalFile("C:\\Gone\\lost.qpd");
    EXPECT_EQ(dialogCalls(), (Calls{"dialog message Path not found."}));
    EXPECT_TRUE(callsStartingWith("file ").empty());
    EXPECT_STREQ(document.setupPath, OldSet);
    EXPECT_STREQ(document.setupName, "old.qpd");
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(keyBank.slots[13].note, 30);
}

TEST_F(FilesFromOutside, ANameTooLongToHoldIsRefusedAndNeverCut) {
    // 259 characters fit a path; the 260-character names would, cut, name the 259-character file.
    std::string fits = "C:\\" + std::string(252, 'p') + ".qpd";
    ASSERT_EQ(fits.size(), 259u);
    addSetupFile(fits);
    openExternalFile(fits.c_str());
    EXPECT_STREQ(document.setupPath, fits.c_str());

    callLog.clear();
    document.modified = true;
    for (const std::string& tooLong : {fits.substr(0, 255) + "p.qpd", fits.substr(0, 255) + "p.lnk"}) {
        ASSERT_EQ(tooLong.size(), 260u);
        openExternalFile(tooLong.c_str());
    }
    EXPECT_EQ(callLog, (Calls{"dialog message Error reading file.", "dialog message Error reading file."}));
    EXPECT_STREQ(document.setupPath, fits.c_str());
    EXPECT_TRUE(document.modified);

    // A long name that is not a setup is still ignored without a word.
    callLog.clear();
    openExternalFile(("C:\\" + std::string(300, 'w') + ".wav").c_str());
    EXPECT_EQ(callLog, Calls{});
}

TEST_F(FilesFromOutside, TheLimitOfANameIs259CharactersHoweverManyBytesTheyTake) {
    // Three bytes a character: 763 bytes in all.
    std::string name = "C:\\";
    for (int i = 0; i < 125; ++i) name += "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本
    name += "\xE3\x81\xAE\xE3\x82\xAD.qpd";                            // のキ.qpd
    ASSERT_EQ(name.size(), 763u);
    addSetupFile(name);
    openExternalFile(name.c_str());
    EXPECT_STREQ(document.setupPath, name.c_str());
    EXPECT_EQ(document.setupName, name.substr(3));
    EXPECT_EQ(keyBank.slots[13].note, 71);

    callLog.clear();
    std::string tooLong = name.substr(0, name.size() - 4) + "p.qpd";
    addSetupFile(tooLong);
    openExternalFile(tooLong.c_str());
    EXPECT_EQ(callLog, (Calls{"dialog message Error reading file."}));
    EXPECT_STREQ(document.setupPath, name.c_str());
}

TEST_F(FilesFromOutside, AModifiedSetupIsOfferedForSavingAndCancelKeepsIt) {
    modifyOldSetup();
    fakeDialogs.answers = {AnswerCancel};
    callLog.clear();
    openExternalFile(LiveSet);
    EXPECT_EQ(dialogCalls(), (Calls{"dialog savechanges Save changes to \"old.qpd\"?"}));
    EXPECT_TRUE(callsStartingWith("file ").empty());
    EXPECT_EQ(keyBank.slots[13].note, 30);
    EXPECT_STREQ(document.setupPath, OldSet);
    EXPECT_STREQ(document.setupName, "old.qpd");
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");

    fakeDialogs.answers = {AnswerDontSave};
    openExternalFile(LiveSet);
    EXPECT_EQ(keyBank.slots[13].note, 71);
    EXPECT_STREQ(document.setupName, "Live Set.qpd");
    EXPECT_TRUE(fakeSetupStorage.files[OldSet].empty());  // the changes were let go, as asked
}

TEST_F(FilesFromOutside, AnsweringSaveWritesTheOldSetupBeforeTheNewOneIsRead) {
    modifyOldSetup();
    std::vector<uint8_t> changed = composeSetupBytes();
    fakeDialogs.answers = {AnswerSave};
    callLog.clear();
    openExternalFile(LiveSet);
    EXPECT_EQ(callsStartingWith("file "),
              (Calls{std::string("file store ") + OldSet, std::string("file read ") + LiveSet}));
    EXPECT_EQ(fakeSetupStorage.files[OldSet], changed);
    EXPECT_STREQ(document.setupName, "Live Set.qpd");
    EXPECT_EQ(keyBank.slots[13].note, 71);
}

}  // namespace
