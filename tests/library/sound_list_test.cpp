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

using Names = std::vector<std::string>;

class ListingSounds : public ProgramTest {};

TEST_F(ListingSounds, NamesAreSortedWithoutRegardToCaseWhateverTheSearchOrder) {
    for (const char* name : {"c.WAV", "b.wav", "A.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeSoundList.entries, (Names{"A.wav", "b.wav", "c.WAV"}));
}

TEST_F(ListingSounds, NamesEqualApartFromCaseKeepTheOrderTheSearchFoundThem) {
    for (const char* name : {"Kick.wav", "snare.wav", "KICK.wav", "kick.wav"}) insertSoundSorted(name);
    EXPECT_EQ(fakeSoundList.entries, (Names{"Kick.wav", "KICK.wav", "kick.wav", "snare.wav"}));
}

TEST_F(ListingSounds, WaveFilesComeFirstSortedThenEveryOtherSoundSortedAfterTheLastOfThem) {
    // A setup saved when only WAV files were listed names them by these
    // positions: the other kinds must never come between them.
    const Names found = {"pad.flac", "zap.wav",   "Bass.MP3",      "a.AIFF", "C.WAV",
                         "loop.ogg", "b.wav.mp3", "choir.aif.wav", "x.oga",  "Hat.aifc"};
    for (const std::string& name : found) insertSoundSorted(name.c_str());
    const Names listed = {"C.WAV",    "choir.aif.wav", "zap.wav",  "a.AIFF",   "b.wav.mp3",
                          "Bass.MP3", "Hat.aifc",      "loop.ogg", "pad.flac", "x.oga"};
    EXPECT_EQ(fakeSoundList.entries, listed);

    // Names dropped together are sorted the same way.
    Names dropped = found;
    std::sort(dropped.begin(), dropped.end(),
              [](const std::string& a, const std::string& b) { return compareListedSounds(a.c_str(), b.c_str()) < 0; });
    EXPECT_EQ(dropped, listed);
}

TEST_F(ListingSounds, ThousandsOfNamesAreSortedWithoutComparingEachWithAll) {
    Names names;
    for (int i = 0; i < 4000; ++i) {
        int number = (i * 7919) % 4000;
        names.push_back("s" + std::to_string(number) + (number % 3 == 0 ? ".flac" : ".wav"));
    }
    for (const std::string& name : names) insertSoundSorted(name.c_str());
    Names sorted = names;
    auto isWave = [](const std::string& name) { return name.compare(name.size() - 4, 4, ".wav") == 0; };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const std::string& a, const std::string& b) {
        if (isWave(a) != isWave(b)) return isWave(a);
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    EXPECT_EQ(fakeSoundList.entries, sorted);
    EXPECT_LT(fakeSoundList.textQueries, 4000 * 13) << "each name looked at every entry before it";
}

}  // namespace
