// Which note plays which key, kept in the registry.
#include "midi/note_map.h"

#include <gtest/gtest.h>
#include <string>

#include "support/key_bank_fixture.h"

namespace {

class MidiMap : public KeyBankFixture {};

TEST_F(MidiMap, TheDefaultMapPlaysTheKeysInRowOrderFromC2) {
    loadNoteMap();  // nothing stored
    EXPECT_EQ(keyIndexForNote(35), -1);
    for (int k = 0; k < KeyCount; ++k) EXPECT_EQ(keyIndexForNote(36 + k), k);
    EXPECT_EQ(keyIndexForNote(36 + KeyCount), -1);
    for (int note : {-1, 128, 1000}) EXPECT_EQ(keyIndexForNote(note), -1);
}

TEST_F(MidiMap, LearntNotesMoveFromTheirKeyAreWrittenAtOnceAndReadBack) {
    bindNoteToKey(36, 5);  // key 0's note now plays key 5, which keeps its own note 41
    bindNoteToKey(100, 46);
    EXPECT_EQ(keyIndexForNote(36), 5);
    EXPECT_EQ(keyIndexForNote(41), 5);
    EXPECT_EQ(keyIndexForNote(100), 46);
    std::string text = fakeRegistry.settings["MidiMap"];
    EXPECT_EQ(text.substr(0, 20), "36:5,37:1,38:2,39:3,");
    EXPECT_EQ(text.substr(text.size() - 18), "81:45,82:46,100:46") << text;
    EXPECT_EQ(callsStartingWith("setting"),
              (Calls{"setting MidiMap = " + text.substr(0, text.size() - 7), "setting MidiMap = " + text}));

    noteMap = defaultNoteMap();
    loadNoteMap();
    EXPECT_EQ(keyIndexForNote(36), 5);
    EXPECT_EQ(keyIndexForNote(100), 46);
    for (int note = 0; note < 36; ++note) EXPECT_EQ(keyIndexForNote(note), -1);

    bindNoteToKey(128, 0);  // no note, no key: nothing written
    bindNoteToKey(50, 47);
    EXPECT_EQ(callsStartingWith("setting").size(), 2u);
}

TEST_F(MidiMap, ResetRestoresTheDefaultMapAndWritesIt) {
    bindNoteToKey(36, 5);
    resetNoteMap();
    EXPECT_EQ(keyIndexForNote(36), 0);
    noteMap.keyOfNote[36] = 9;
    loadNoteMap();
    EXPECT_EQ(keyIndexForNote(36), 0);
}

TEST_F(MidiMap, AStoredMapThatIsNoneOfOursGivesTheDefaultMap) {
    for (const char* text :
         {"36:5,x", "36:5,,37:1", "200:1", "36:47", "36;5", "0036:5", "36:-1", ":5", "36:", "36:5 "}) {
        fakeRegistry.settings["MidiMap"] = text;
        noteMap.keyOfNote[36] = 9;
        loadNoteMap();
        EXPECT_EQ(keyIndexForNote(36), 0) << text;
        EXPECT_EQ(keyIndexForNote(82), 46) << text;
    }
    fakeRegistry.settings["MidiMap"] = "";  // every note moved off the map: none plays
    loadNoteMap();
    for (int note = 0; note < MidiNoteCount; ++note) EXPECT_EQ(keyIndexForNote(note), -1);
}

}  // namespace
