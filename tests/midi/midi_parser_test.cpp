// MIDI bytes as controllers send them: running status, note-offs as note-ons
// of velocity 0, realtime bytes anywhere, system exclusive skipped, and bytes
// that make no message.
#include "midi/midi_parser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/program_test.h"

namespace {

class ReadingMidiBytes : public ProgramTest {};

std::string described(const MidiEvent& event) {
    const char* type = event.type == MidiEventType::NoteOn          ? "on"
                       : event.type == MidiEventType::NoteOff       ? "off"
                       : event.type == MidiEventType::ControlChange ? "cc"
                                                                    : "pc";
    return std::string(type) + " " + std::to_string(event.channel) + " " + std::to_string(event.data1) + " " +
           std::to_string(event.data2);
}

std::vector<std::string> eventsOf(MidiParser& parser, const std::vector<int>& bytes) {
    std::vector<std::string> events;
    MidiEvent event;
    for (int byte : bytes)
        if (feedMidiByte(parser, static_cast<uint8_t>(byte), event)) events.push_back(described(event));
    return events;
}

std::vector<std::string> eventsOf(const std::vector<int>& bytes) {
    MidiParser parser;
    return eventsOf(parser, bytes);
}

using Events = std::vector<std::string>;

TEST_F(ReadingMidiBytes, RunningStatusRepeatsTheLastStatusAndVelocityZeroIsANoteOff) {
    EXPECT_EQ(eventsOf({0x93, 36, 100, 37, 80, 36, 0, 0x83, 37, 64, 38, 0}),
              (Events{"on 3 36 100", "on 3 37 80", "off 3 36 0", "off 3 37 64", "off 3 38 0"}));
    EXPECT_EQ(eventsOf({0xB0, 123, 0, 120, 0}), (Events{"cc 0 123 0", "cc 0 120 0"}));
}

TEST_F(ReadingMidiBytes, RealtimeBytesInsideAMessageChangeNothing) {
    // Clock, start, active sensing and reset between the bytes of a note-on and of its running-status follower.
    EXPECT_EQ(eventsOf({0x90, 0xF8, 36, 0xFE, 100, 0xFA, 37, 0xFF, 0xF8, 90}), (Events{"on 0 36 100", "on 0 37 90"}));
}

TEST_F(ReadingMidiBytes, SystemExclusiveIsSkippedToItsEndOrTheNextStatus) {
    // Data bytes inside it are no notes, and after its end there is no running status.
    EXPECT_EQ(eventsOf({0x90, 36, 100, 0xF0, 0x7E, 36, 100, 0xF8, 0xF7, 37, 100, 0x90, 38, 100}),
              (Events{"on 0 36 100", "on 0 38 100"}));
    EXPECT_EQ(eventsOf({0xF0, 1, 2, 3, 0x91, 40, 1}), (Events{"on 1 40 1"}));
}

TEST_F(ReadingMidiBytes, OtherMessagesAndStrayDataPlayNothingButProgramChangesChooseBanks) {
    // Data before any status, a program change (one data byte, running too,
    // which chooses banks), channel pressure, pitch bend, aftertouch, song
    // position and song select (which end the running status), tune request.
    EXPECT_EQ(eventsOf({36, 100, 0xC4, 5, 6, 0xD0, 36,  0xE0, 0, 64, 0xA0, 36, 10, 0x90,
                        36, 100, 0xF2, 1, 2, 36,   100, 0xF3, 4, 36, 0xF6, 36, 100}),
              (Events{"pc 4 5 0", "pc 4 6 0", "on 0 36 100"}));
}

TEST_F(ReadingMidiBytes, ShortMessagesAsWindowsPacksThemReadOnlyTheirOwnBytes) {
    MidiParser parser;
    MidiEvent event;
    ASSERT_TRUE(feedShortMessage(parser, 0x00642490, event));
    EXPECT_EQ(described(event), "on 0 36 100");
    // Running status: the first byte is the note.
    ASSERT_TRUE(feedShortMessage(parser, 0x00005025, event));
    EXPECT_EQ(described(event), "on 0 37 80");
    // A realtime byte alone: its empty upper bytes are no note-off of note 0.
    EXPECT_FALSE(feedShortMessage(parser, 0x000000F8, event));
    ASSERT_TRUE(feedShortMessage(parser, 0x00000025, event));
    EXPECT_EQ(described(event), "off 0 37 0");
    // A program change reads one data byte; what is above it is not the next message.
    ASSERT_TRUE(feedShortMessage(parser, 0x00243FC0, event));
    EXPECT_EQ(described(event), "pc 0 63 0");
    ASSERT_TRUE(feedShortMessage(parser, 0x00000024, event));
    EXPECT_EQ(described(event), "pc 0 36 0");
    ASSERT_TRUE(feedShortMessage(parser, 0x007B7BB2, event));
    EXPECT_EQ(described(event), "cc 2 123 123");
}

TEST_F(ReadingMidiBytes, AnyBytesAtAllGiveOnlyEventsInRange) {
    MidiParser parser;
    MidiEvent event;
    uint32_t seed = 12345;
    int events = 0;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bool isEvent = i % 2 ? feedMidiByte(parser, static_cast<uint8_t>(seed >> 24), event)
                             : feedShortMessage(parser, seed, event);
        if (!isEvent) continue;
        ++events;
        ASSERT_TRUE(event.channel >= 0 && event.channel <= 15);
        ASSERT_TRUE(event.data1 >= 0 && event.data1 <= 127);
        ASSERT_TRUE(event.data2 >= 0 && event.data2 <= 127);
        ASSERT_FALSE(event.type == MidiEventType::NoteOn && event.data2 == 0);
    }
    EXPECT_GT(events, 1000);
}

}  // namespace
