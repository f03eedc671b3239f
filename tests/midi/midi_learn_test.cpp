// MIDI learn: the selected key waits for a note, the title says so, the next
// note-on is bound to the key and plays it; cancelling binds nothing; the
// default map again after a confirmation.
#include "midi/midi_learn.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "base/dialogs.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_main_window.h"
#include "fakes/fake_menu.h"
#include "fakes/fake_midi_ports.h"
#include "fakes/fake_registry.h"
#include "midi/midi_input.h"
#include "midi/note_map.h"
#include "resources/command_ids.h"
#include "setup/document.h"
#include "support/key_bank_fixture.h"

namespace {

constexpr char Waiting[] = "Play a MIDI note for the selected key...";

class MidiLearn : public KeyBankFixture {
protected:
    void SetUp() override {
        KeyBankFixture::SetUp();
        fakeMidiPorts.ports = {{0, "Pads"}};
        startMidiInput();
        std::snprintf(document.setupName, PathCapacity, "live.qpd");
        updateWindowTitle();
        pads = fakeMidiPorts.openIds.begin()->first;
        keyBank.selectedKey = 27;
        giveVoice(27);
        callLog.clear();
    }
    // As the inputs' callback hands them over, each with the next number.
    void onMidiMessage(uint32_t tag, uint32_t packed) { ::onMidiMessage(tag, packed, ++lastNumber); }
    uint32_t pads = 0;
    uint32_t lastNumber = 0;
};

TEST_F(MidiLearn, TheNextNoteOnIsBoundToTheSelectedKeyAndPlaysIt) {
    switchMidiLearn();
    EXPECT_EQ(fakeMainWindow.title, Waiting);
    EXPECT_TRUE(fakeMenu.checked[CMD_MIDI_LEARN]);
    onMidiMessage(pads, 0x0090);  // note 0 at velocity 0 is a note-off: still waiting
    EXPECT_EQ(fakeMainWindow.title, Waiting);

    onMidiMessage(pads, 0x645A90);  // note 90
    EXPECT_EQ(keyIndexForNote(90), 27);
    EXPECT_EQ(keyIndexForNote(63), 27) << "the key keeps the notes it had";
    EXPECT_TRUE(voiceOf(27).playing);
    EXPECT_EQ(fakeMainWindow.title, "live.qpd  using:  ");
    EXPECT_FALSE(fakeMenu.checked[CMD_MIDI_LEARN]);
    EXPECT_EQ(callsStartingWith("setting").size(), 1u) << "written at once";

    onMidiMessage(pads, 0x005A80);
    EXPECT_TRUE(voiceOf(27).playing) << "a toggle key stays latched";
    onMidiMessage(pads, 0x645B90);  // learning is over: note 91 plays no key
    EXPECT_EQ(keyIndexForNote(91), -1);
}

TEST_F(MidiLearn, CancellingOrChoosingTheItemAgainBindsNothing) {
    switchMidiLearn();
    switchMidiLearn();
    EXPECT_EQ(fakeMainWindow.title, "live.qpd  using:  ");
    EXPECT_FALSE(fakeMenu.checked[CMD_MIDI_LEARN]);
    switchMidiLearn();
    cancelMidiLearn();
    callLog.clear();
    cancelMidiLearn();  // not waiting: nothing
    EXPECT_TRUE(callLog.empty());
    onMidiMessage(pads, 0x645A90);
    EXPECT_EQ(keyIndexForNote(90), -1);
    EXPECT_TRUE(callsStartingWith("setting").empty());
}

TEST_F(MidiLearn, TheKeySelectedWhenTheWaitBeganIsTheOneBound) {
    switchMidiLearn();
    keyBank.selectedKey = 3;  // an Undo selected another key meanwhile
    onMidiMessage(pads, 0x642490);
    EXPECT_EQ(keyIndexForNote(36), 27);
}

TEST_F(MidiLearn, ResetRestoresTheDefaultMapOnlyAfterOk) {
    bindNoteToKey(36, 27);
    fakeDialogs.answers = {AnswerCancel};
    confirmResetMidiMap();
    EXPECT_EQ(keyIndexForNote(36), 27);
    ASSERT_EQ(callsStartingWith("dialog").size(), 1u);
    confirmResetMidiMap();  // OK
    EXPECT_EQ(keyIndexForNote(36), 0);
    EXPECT_EQ(fakeRegistry.settings["MidiMap"].substr(0, 9), "36:0,37:1");
}

}  // namespace
