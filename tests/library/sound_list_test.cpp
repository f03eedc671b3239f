// The sound list: names kept in order as the search finds them.
#include "library/sound_list.h"

#include <strings.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "fakes/fake_sound_list_window.h"
#include "support/program_test.h"

namespace {

class ListingSounds : public ProgramTest {};

TEST_F(ListingSounds, NamesAreSortedWithoutRegardToCaseWhateverTheSearchOrder) {
    for (const char* name : {"c.WAV", "b.wav", "A.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"A.wav", "b.wav", "c.WAV"}));
}

TEST_F(ListingSounds, NamesEqualApartFromCaseKeepTheOrderTheSearchFoundThem) {
    for (const char* name : {"Kick.wav", "snare.wav", "KICK.wav", "kick.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeSoundList.entries, (std::vector<std::string>{"Kick.wav", "KICK.wav", "kick.wav", "snare.wav"}));
}

TEST_F(ListingSounds, ThousandsOfNamesAreSortedWithoutComparingEachWithAll) {
    std::vector<std::string> names;
    for (int i = 0; i < 4000; ++i) names.push_back("s" + std::to_string((i * 7919) % 4000) + ".wav");
    for (const std::string& name : names) insertSoundSorted(name.c_str());
    std::vector<std::string> sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    EXPECT_EQ(fakeSoundList.entries, sorted);
    EXPECT_LT(fakeSoundList.textQueries, 4000 * 13) << "each name looked at every entry before it";
}

}  // namespace
