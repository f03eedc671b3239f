// Where a save writes before it replaces the setup file.
#include "setup/save_path.h"

#include <gtest/gtest.h>

#include "support/program_test.h"

namespace {

class SavePath : public ProgramTest {};

}  // namespace

TEST_F(SavePath, TheNewFileIsTheTargetsNameWithASuffixInTheSameFolder) {
    EXPECT_EQ(temporarySavePath(L"C:\\Setups\\live.qpd"), L"C:\\Setups\\live.qpd.saving");
    EXPECT_EQ(temporarySavePath(L"\\\\?\\C:\\Setups\\live.qpd"), L"\\\\?\\C:\\Setups\\live.qpd.saving");
}

TEST_F(SavePath, PathsTakeTheExtendedLengthFormForDrivesAndShares) {
    EXPECT_EQ(extendedLengthPath(L"C:\\Setups\\live.qpd"), L"\\\\?\\C:\\Setups\\live.qpd");
    EXPECT_EQ(extendedLengthPath(L"Z:\\"), L"\\\\?\\Z:\\");
    EXPECT_EQ(extendedLengthPath(L"\\\\studio\\kits\\live.qpd"), L"\\\\?\\UNC\\studio\\kits\\live.qpd");
    EXPECT_EQ(extendedLengthPath(L"\\\\?\\C:\\already.qpd"), L"\\\\?\\C:\\already.qpd");
}

TEST_F(SavePath, ATargetOf259CharactersGivesANewFileLongerThanTheAnsiLimit) {
    std::wstring target = L"C:\\" + std::wstring(250, L'd') + L"\\a.qpd";
    ASSERT_EQ(target.size(), 259u);
    std::wstring temporary = temporarySavePath(extendedLengthPath(target));
    EXPECT_GT(temporary.size(), 259u);
    EXPECT_EQ(temporary.substr(0, 4), L"\\\\?\\");
    EXPECT_EQ(temporary.substr(4, target.size()), target);
}
