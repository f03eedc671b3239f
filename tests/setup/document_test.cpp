// The window title: the setup, the sound folder and a recording running.
#include "setup/document.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "flows/start_up.h"
#include "keys/key_banks.h"
#include "library/sound_directory.h"
#include "support/program_test.h"

namespace {

class TheWindowTitle : public ProgramTest {};

TEST_F(TheWindowTitle, EndsWithRecWhileRecordingEvenWhereTheRestIsCut) {
    std::snprintf(soundDirectoryTitle, PathCapacity, "Drums");
    document.recording = true;
    char title[ShownTextCapacity];
    composeWindowTitle(title);
    EXPECT_STREQ(title, "Untitled  using:  Drums [REC]");

    std::string longName(250, 'n');
    std::snprintf(document.setupName, PathCapacity, "%s", longName.c_str());
    composeWindowTitle(title);
    EXPECT_EQ(std::strlen(title), ShownTextCharacters);
    EXPECT_EQ(std::string(title), longName.substr(0, 249) + " [REC]");

    document.recording = false;
    composeWindowTitle(title);
    EXPECT_EQ(std::string(title), longName + "  usi");
}

TEST_F(TheWindowTitle, NamesTheBankShownWhenItIsNotTheFirstKeepingRoomForRec) {
    std::snprintf(soundDirectoryTitle, PathCapacity, "Drums");
    startInstrument();
    showBank(2);
    document.recording = true;
    char title[ShownTextCapacity];
    composeWindowTitle(title);
    EXPECT_STREQ(title, "Untitled  using:  Drums - Bank 3 [REC]");
    std::string longName(300, 'n');
    std::snprintf(document.setupName, PathCapacity, "%s", longName.c_str());
    composeWindowTitle(title);
    EXPECT_EQ(std::string(title), longName.substr(0, 240) + " - Bank 3 [REC]");
    showBank(0);
    document.recording = false;
    std::snprintf(document.setupName, PathCapacity, "Live Set.qpd");
    composeWindowTitle(title);
    EXPECT_STREQ(title, "Live Set.qpd  using:  Drums");
}

}  // namespace
