#include "shell/file_type.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "fakes/call_log.h"
#include "fakes/fake_registry.h"
#include "support/program_test.h"

namespace {

using Calls = std::vector<std::string>;
using Values = std::map<std::string, std::string>;

class RegisteringTheFileType : public ProgramTest {};

TEST_F(RegisteringTheFileType, EveryStartRegistersTheFourValuesForTheUserThenAllUsersAndTellsTheShell) {
    registerFileType();
    Calls expected;
    for (std::string store : {"registry user ", "registry all users "}) {
        expected.push_back(store + "Quillpad\\shell\\open\\command = \"C:\\Program Files\\Keys\\quillpad.exe\" %1");
        expected.push_back(store + "Quillpad = Quillpad Setup File");
        expected.push_back(store + "Quillpad\\DefaultIcon = C:\\Program Files\\Keys\\quillpad.exe,1");
        expected.push_back(store + ".qpd = Quillpad");
    }
    expected.push_back("shell file types changed");
    EXPECT_EQ(callLog, expected);
    EXPECT_EQ(fakeRegistry.userValues, fakeRegistry.values);
}

TEST_F(RegisteringTheFileType, AStandardUserHasTheFileTypeRegisteredForThemselves) {
    fakeRegistry.allUsersReadOnly = true;
    registerFileType();
    EXPECT_TRUE(fakeRegistry.values.empty());
    EXPECT_EQ(fakeRegistry.userValues,
              (Values{
                  {"Quillpad\\shell\\open\\command", "\"C:\\Program Files\\Keys\\quillpad.exe\" %1"},
                  {"Quillpad", "Quillpad Setup File"},
                  {"Quillpad\\DefaultIcon", "C:\\Program Files\\Keys\\quillpad.exe,1"},
                  {".qpd", "Quillpad"},
              }));
    EXPECT_EQ(callLog.back(), "shell file types changed");
    EXPECT_TRUE(callsStartingWith("dialog ").empty());
}

TEST_F(RegisteringTheFileType, AStartFromAnotherFolderRewritesTheCommandAndTheIcon) {
    registerFileType();
    fakeRegistry.programPath = "D:\\Music\\quillpad.exe";
    registerFileType();
    EXPECT_EQ(fakeRegistry.values, (Values{
                                       {"Quillpad\\shell\\open\\command", "\"D:\\Music\\quillpad.exe\" %1"},
                                       {"Quillpad", "Quillpad Setup File"},
                                       {"Quillpad\\DefaultIcon", "D:\\Music\\quillpad.exe,1"},
                                       {".qpd", "Quillpad"},
                                   }));
}

TEST_F(RegisteringTheFileType, KeysThatCannotBeWrittenAreSkippedWithoutAWord) {
    fakeRegistry.readOnly = true;
    registerFileType();
    EXPECT_TRUE(fakeRegistry.values.empty());
    EXPECT_TRUE(fakeRegistry.userValues.empty());
    EXPECT_EQ(callsStartingWith("registry all users ").size(), 4u);  // every step was still tried
    EXPECT_EQ(callsStartingWith("registry user ").size(), 4u);
    EXPECT_TRUE(callsStartingWith("dialog ").empty());

    fakeRegistry.reset();
    fakeRegistry.refusedKeys = {"Quillpad\\shell\\open\\command"};
    registerFileType();
    // The description's key is only opened, and nothing has made it yet.
    EXPECT_EQ(fakeRegistry.values, (Values{
                                       {"Quillpad\\DefaultIcon", "C:\\Program Files\\Keys\\quillpad.exe,1"},
                                       {".qpd", "Quillpad"},
                                   }));
    EXPECT_EQ(fakeRegistry.userValues, fakeRegistry.values);
}

TEST_F(RegisteringTheFileType, AProgramPathTooLongForAValueLeavesThatValueOutRatherThanCutIt) {
    auto registeredWith = [](size_t pathLength) {
        fakeRegistry.reset();
        fakeRegistry.programPath = "C:\\" + std::string(pathLength - 9, 'k') + "\\q.exe";
        registerFileType();
        return fakeRegistry.values;
    };
    // Quotes and " %1" take 5 characters, ",1" takes 2; a value holds 259.
    Values longest = registeredWith(254);
    EXPECT_EQ(longest["Quillpad\\shell\\open\\command"].size(), 259u);
    EXPECT_EQ(longest.count("Quillpad"), 1u);

    Values noCommand = registeredWith(255);
    EXPECT_EQ(noCommand.count("Quillpad\\shell\\open\\command"), 0u);
    EXPECT_EQ(noCommand["Quillpad\\DefaultIcon"].size(), 257u);
    EXPECT_EQ(noCommand[".qpd"], "Quillpad");

    EXPECT_EQ(registeredWith(257)["Quillpad\\DefaultIcon"].size(), 259u);
    Values noIcon = registeredWith(258);
    EXPECT_EQ(noIcon.count("Quillpad\\DefaultIcon"), 0u);
    EXPECT_EQ(noIcon, (Values{{".qpd", "Quillpad"}}));

    fakeRegistry.reset();
    fakeRegistry.programPathKnown = false;
    registerFileType();
    EXPECT_EQ(fakeRegistry.values, (Values{{".qpd", "Quillpad"}}));
}

}  // namespace
