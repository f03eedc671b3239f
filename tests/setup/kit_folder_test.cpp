// Where a kit's sound folder is looked for when the folder its setup stores is gone.
#include "setup/kit_folder.h"

#include <gtest/gtest.h>
#include <string>

#include "support/program_test.h"

namespace {

// The folder found beside the setup, or "(none)".
std::string besideSetup(const std::string& setupPath, const std::string& storedFolder) {
    char folder[PathCapacity] = "untouched";
    return folderBesideSetup(setupPath.c_str(), storedFolder.c_str(), folder) ? std::string(folder) : "(none)";
}

class KitFolder : public ProgramTest {};

}  // namespace

TEST_F(KitFolder, TheStoredFoldersLastNameIsLookedForBesideTheSetup) {
    EXPECT_EQ(besideSetup("D:\\Kits\\live.qpd", "C:\\Old\\Drums"), "D:\\Kits\\Drums");
    EXPECT_EQ(besideSetup("D:\\Kits\\Live Set\\live.qpd", "C:\\Users\\Ann\\Demo Kit\\Sounds"),
              "D:\\Kits\\Live Set\\Sounds");
    EXPECT_EQ(besideSetup("\\\\studio\\kits\\live.qpd", "\\\\nas\\share\\Drums"), "\\\\studio\\kits\\Drums");
    EXPECT_EQ(besideSetup("Z:/tmp/kit/live.qpd", "C:/Old/Drums"), "Z:/tmp/kit/Drums");
    EXPECT_EQ(besideSetup("D:\\live.qpd", "C:\\Old\\Drums"), "D:\\Drums");
}

TEST_F(KitFolder, AStoredFolderEndingInSeparatorsKeepsItsLastName) {
    EXPECT_EQ(besideSetup("D:\\Kits\\live.qpd", "C:\\Old\\Drums\\"), "D:\\Kits\\Drums");
    EXPECT_EQ(besideSetup("D:\\Kits\\live.qpd", "C:\\Old\\Drums\\\\"), "D:\\Kits\\Drums");
    EXPECT_EQ(besideSetup("D:\\Kits\\live.qpd", "C:\\Old\\Drums/"), "D:\\Kits\\Drums");
}

TEST_F(KitFolder, ARootOrANameLeadingElsewhereHasNoFolderBesideTheSetup) {
    for (const char* stored : {"C:\\", "C:", "C:/", "\\", "\\\\", "", "C:\\Old\\..", "C:\\Old\\.\\", "D:Drums"})
        EXPECT_EQ(besideSetup("D:\\Kits\\live.qpd", stored), "(none)") << stored;
}

TEST_F(KitFolder, ASetupPathWithoutAFolderFindsNothing) {
    EXPECT_EQ(besideSetup("live.qpd", "C:\\Old\\Drums"), "(none)");
    EXPECT_EQ(besideSetup("", "C:\\Old\\Drums"), "(none)");
}

TEST_F(KitFolder, AFolderTooLongToHoldIsNotCut) {
    std::string setupFolder = "D:\\" + std::string(250, 'k') + "\\";                            // 254 characters
    EXPECT_EQ(besideSetup(setupFolder + "live.qpd", "C:\\Old\\Drums"), setupFolder + "Drums");  // 259 fit
    EXPECT_EQ(besideSetup(setupFolder + "live.qpd", "C:\\Old\\Drums2"), "(none)");
}
