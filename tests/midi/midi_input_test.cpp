// MIDI inputs: which are open, the MIDI Input menu, the choice remembered,
// inputs following devices as they come and go, keys released when their
// input closes, panic controllers and velocity.
#include "midi/midi_input.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "fakes/fake_menu.h"
#include "fakes/fake_midi_ports.h"
#include "fakes/fake_registry.h"
#include "keys/key_banks.h"
#include "resources/command_ids.h"
#include "support/key_bank_fixture.h"

namespace {

constexpr uint32_t NoteOn36 = 0x7F2490;  // note-on, channel 1, note 36 (key 0), velocity 127
constexpr uint32_t NoteOff36 = 0x002480;

class ChoosingMidiInputs : public KeyBankFixture {
protected:
    void startWith(std::vector<MidiPort> ports, const char* remembered = nullptr) {
        fakeMidiPorts.ports = std::move(ports);
        if (remembered) fakeRegistry.settings["MidiInput"] = remembered;
        startMidiInput();
    }
    // The menu as it opens: each item's text, with "*" when checked and "-" when greyed.
    std::vector<std::string> menu() {
        refreshMidiInputMenu();
        std::vector<std::string> shown;
        for (const MenuListItem& item : fakeMenu.lists[CMD_MIDI_INPUT_FIRST])
            shown.push_back((item.checked ? "*" : "") + std::string(item.enabled ? "" : "-") + item.text);
        return shown;
    }
    // The tag of the input with that id, 0 when it is not open.
    uint32_t tagOf(unsigned id) {
        for (auto [tag, openId] : fakeMidiPorts.openIds)
            if (openId == id) return tag;
        return 0;
    }
    // As the inputs' callback hands them over, each with the next number.
    void onMidiMessage(uint32_t tag, uint32_t packed) { ::onMidiMessage(tag, packed, ++lastNumber); }
    void onMidiInputClosed(uint32_t tag) { ::onMidiInputClosed(tag, ++lastNumber); }
    // A post failed after the message numbered `lastBefore` was handed over;
    // the lost messages' numbers are skipped by raising lastNumber.
    void noteLoss(uint32_t lastBefore) {
        fakeMidiPorts.lost = true;
        fakeMidiPorts.lastNumberBeforeLoss = lastBefore;
    }
    uint32_t lastNumber = 0;
};

using Items = std::vector<std::string>;

class MidiMessages : public ChoosingMidiInputs {};

TEST_F(ChoosingMidiInputs, EveryInputOpensAtStartUpUnlessAnotherChoiceIsRemembered) {
    startWith({{0, "Pads"}, {1, "Keys"}});
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi open 0 1", "midi open 1 2"}));
    EXPECT_EQ(menu(), (Items{"*All Devices", "Pads", "Keys", "None"}));
    EXPECT_EQ(fakeMenu.checked[CMD_MIDI_VELOCITY], true);

    stopMidiInput();
    callLog.clear();
    startWith({{0, "Pads"}, {1, "Keys"}}, "Keys");
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi open 1 1"}));
    EXPECT_EQ(menu(), (Items{"All Devices", "Pads", "*Keys", "None"}));

    stopMidiInput();
    callLog.clear();
    startWith({{0, "Pads"}}, "Keys");  // not plugged in: nothing opens, nothing is checked
    EXPECT_TRUE(callsStartingWith("midi").empty());
    EXPECT_EQ(menu(), (Items{"All Devices", "Pads", "None"}));
    EXPECT_EQ(fakeRegistry.settings["MidiInput"], "Keys");

    stopMidiInput();
    startWith({{0, "Pads"}}, "none");
    EXPECT_TRUE(fakeMidiPorts.openIds.empty());
    EXPECT_EQ(menu(), (Items{"All Devices", "Pads", "*None"}));
}

TEST_F(ChoosingMidiInputs, WithNoInputTheMenuShowsOneGreyedItem) {
    startWith({});
    EXPECT_EQ(menu(), (Items{"-No MIDI Input"}));
    chooseMidiInput(0);
    EXPECT_TRUE(callsStartingWith("setting").empty());
}

TEST_F(ChoosingMidiInputs, AnInputAnotherProgramHoldsStaysClosedAndUncheckedWithoutAWord) {
    fakeMidiPorts.heldElsewhere = {1};
    startWith({{0, "Pads"}, {1, "Keys"}}, "Keys");
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi refused 1"}));
    EXPECT_EQ(menu(), (Items{"All Devices", "Pads", "Keys", "None"}));
    EXPECT_TRUE(callsStartingWith("dialog").empty());
    // Let go of by the other program, it opens as the menu next opens.
    fakeMidiPorts.heldElsewhere.clear();
    EXPECT_EQ(menu(), (Items{"All Devices", "Pads", "*Keys", "None"}));
}

TEST_F(ChoosingMidiInputs, SwitchingClosesTheInputsNoLongerChosenReleasingTheirKeysAndIsRemembered) {
    startWith({{0, "Pads"}, {1, "Keys"}});
    giveVoice(0);
    uint32_t pads = tagOf(0);
    onMidiMessage(pads, NoteOn36);
    ASSERT_TRUE(voiceOf(0).playing);
    menu();
    callLog.clear();
    chooseMidiInput(2);  // Keys
    EXPECT_EQ(callLog,
              (Calls{"setting MidiInput = Keys", "midi close 1", "voice0 Stop", "panel drawMuteButton", capOf(0)}));
    EXPECT_FALSE(voiceOf(0).playing);
    onMidiMessage(pads, NoteOn36);  // queued before the close: not heard
    EXPECT_FALSE(voiceOf(0).playing);

    chooseMidiInput(3);  // None
    EXPECT_EQ(fakeRegistry.settings["MidiInput"], "none");
    EXPECT_TRUE(fakeMidiPorts.openIds.empty());
    chooseMidiInput(0);
    EXPECT_EQ(fakeRegistry.settings["MidiInput"], "all");
    EXPECT_EQ(fakeMidiPorts.openIds.size(), 2u);
    chooseMidiInput(4);  // past the list: nothing
    EXPECT_EQ(fakeRegistry.settings["MidiInput"], "all");
}

TEST_F(ChoosingMidiInputs, InputsPluggedInLaterOpenAsTheMenuOpensAndUnpluggedOnesLetGoOfTheirKeys) {
    startWith({{0, "Pads"}});
    giveVoice(0);
    fakeMidiPorts.ports = {{0, "Pads"}, {1, "Keys"}};
    EXPECT_EQ(menu(), (Items{"*All Devices", "Pads", "Keys", "None"}));
    uint32_t keys = tagOf(1);
    ASSERT_NE(keys, 0u);
    onMidiMessage(keys, NoteOn36);
    ASSERT_TRUE(voiceOf(0).playing);

    fakeMidiPorts.ports = {{0, "Pads"}};  // Keys unplugged
    EXPECT_EQ(menu(), (Items{"*All Devices", "Pads", "None"}));
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_EQ(tagOf(1), 0u);
    EXPECT_NE(tagOf(0), 0u);

    // Two of one name, the second plugged in later: both play.
    fakeMidiPorts.ports = {{0, "Pads"}, {1, "Pads"}};
    menu();
    EXPECT_EQ(fakeMidiPorts.openIds.size(), 2u);
}

TEST_F(ChoosingMidiInputs, AnInputWhoseDeviceWentClosesAtOnceLettingGoOfItsKeysOnly) {
    startWith({{0, "Pads"}, {1, "Keys"}});
    giveEveryKeyAVoice();
    uint32_t pads = tagOf(0), keys = tagOf(1);
    onMidiMessage(pads, NoteOn36);
    onMidiMessage(keys, 0x7F2590);  // note 37: key 1
    callLog.clear();
    onMidiInputClosed(pads);  // its cable pulled
    EXPECT_EQ(callLog, (Calls{"midi close 1", "voice0 Stop", "panel drawMuteButton", capOf(0)}));
    EXPECT_TRUE(voiceOf(1).playing) << "the other input's note";
    onMidiMessage(pads, NoteOn36);  // queued before it went: not heard
    EXPECT_FALSE(voiceOf(0).playing);

    // The word of an input the program closed itself comes after the close: nothing more.
    chooseMidiInput(3);  // None
    callLog.clear();
    onMidiInputClosed(keys);
    EXPECT_TRUE(callLog.empty());
}

TEST_F(ChoosingMidiInputs, InputsFollowDevicesAsTheyComeAndGoWithoutTheMenu) {
    startWith({{0, "Pads"}}, "Keys");  // the chosen device not plugged in
    giveVoice(0);
    fakeMidiPorts.ports = {{0, "Pads"}, {1, "Keys"}};
    onMidiDevicesChanged();
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi open 1 1"}));
    onMidiMessage(tagOf(1), NoteOn36);
    ASSERT_TRUE(voiceOf(0).playing);

    fakeMidiPorts.ports = {{0, "Pads"}};  // gone without a word from its driver
    callLog.clear();
    onMidiDevicesChanged();
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi close 1"}));
    EXPECT_FALSE(voiceOf(0).playing);

    fakeMidiPorts.ports = {{0, "Keys"}, {1, "Pads"}};  // plugged in again, listed first now
    callLog.clear();
    onMidiDevicesChanged();
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi open 0 2"}));
    onMidiMessage(tagOf(0), NoteOn36);
    EXPECT_TRUE(voiceOf(0).playing);

    // With every device chosen, one plugged in opens too.
    stopMidiInput();
    callLog.clear();
    startWith({}, "all");
    fakeMidiPorts.ports = {{0, "Pads"}};
    onMidiDevicesChanged();
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi open 0 1"}));
}

TEST_F(ChoosingMidiInputs, OfTwoInputsOfOneNameTheOneWhoseDeviceWentCloses) {
    startWith({{0, "Pads"}, {1, "Pads"}});
    giveEveryKeyAVoice();
    uint32_t first = tagOf(0), second = tagOf(1);
    onMidiMessage(first, NoteOn36);
    onMidiMessage(second, 0x7F2590);      // note 37: key 1
    fakeMidiPorts.ports = {{0, "Pads"}};  // the second unplugged, without a word from its driver
    fakeMidiPorts.gone = {second};
    callLog.clear();
    onMidiDevicesChanged();
    EXPECT_EQ(callsStartingWith("midi"), (Calls{"midi close 2"}));
    EXPECT_TRUE(voiceOf(0).playing) << "the first, still plugged in";
    EXPECT_FALSE(voiceOf(1).playing);

    // Plugged in again; then the first goes and says so: the listing closes nothing more.
    fakeMidiPorts.ports = {{0, "Pads"}, {1, "Pads"}};
    onMidiDevicesChanged();
    uint32_t again = tagOf(1);
    onMidiMessage(again, 0x7F2590);
    onMidiInputClosed(first);
    fakeMidiPorts.ports = {{0, "Pads"}};
    callLog.clear();
    onMidiDevicesChanged();
    EXPECT_TRUE(callsStartingWith("midi").empty());
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_TRUE(voiceOf(1).playing);
}

TEST_F(ChoosingMidiInputs, ClosingAtTheEndReleasesEveryInput) {
    startWith({{0, "Pads"}, {1, "Keys"}});
    callLog.clear();
    stopMidiInput();
    EXPECT_EQ(callLog, (Calls{"midi close 1", "midi close 2"}));
}

TEST_F(MidiMessages, NotesPlayTheirKeysAndPanicControllersReleaseTheInputsKeys) {
    startWith({{0, "Pads"}, {1, "Keys"}});
    giveEveryKeyAVoice();
    uint32_t pads = tagOf(0), keys = tagOf(1);
    onMidiMessage(pads, NoteOn36);
    onMidiMessage(pads, 0x25);    // running status: note 37 at velocity 0, a note-off of a note not held
    onMidiMessage(pads, 0x7F26);  // running status: note 38 on
    onMidiMessage(keys, 0x7F2790);
    onMidiMessage(pads, 0x7F01B0);  // the modulation wheel: nothing
    EXPECT_TRUE(voiceOf(0).playing);
    EXPECT_TRUE(voiceOf(2).playing);
    onMidiMessage(pads, 0x007BB5);  // All Notes Off, on any channel
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_FALSE(voiceOf(2).playing);
    EXPECT_TRUE(voiceOf(3).playing) << "another input's note";
    onMidiMessage(keys, 0x0078B0);  // All Sound Off
    EXPECT_FALSE(voiceOf(3).playing);
    onMidiMessage(keys, 0x7F2490);
    onMidiMessage(keys, NoteOff36);
    EXPECT_FALSE(voiceOf(0).playing);
    onMidiMessage(999, NoteOn36);  // no input of ours
    EXPECT_FALSE(voiceOf(0).playing);
}

TEST_F(MidiMessages, LostMessagesLeaveNoKeyHeldFromMidi) {
    startWith({{0, "Pads"}});
    giveEveryKeyAVoice();
    onMidiMessage(tagOf(0), NoteOn36);
    onMidiMessage(tagOf(0), 0x7F2590);
    noteLoss(2);  // their note-offs may be among them
    ++lastNumber;
    onMidiMessage(tagOf(0), 0x7FF8);
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_FALSE(voiceOf(1).playing);
}

TEST_F(MidiMessages, AfterALossKeysAreReleasedOnceTheMessagesBeforeItAreHandledAndLaterOnesPlay) {
    startWith({{0, "Pads"}, {1, "Keys"}});
    giveEveryKeyAVoice();
    uint32_t pads = tagOf(0), keys = tagOf(1);
    onMidiMessage(pads, NoteOn36);
    noteLoss(3);                    // 2 and 3 queued when the queue filled up; the note-offs after them lost
    onMidiMessage(pads, 0x7F2590);  // note 37: key 1
    onMidiMessage(keys, 0x7F2690);  // note 38: key 2
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_FALSE(voiceOf(1).playing);
    EXPECT_FALSE(voiceOf(2).playing);

    lastNumber += 3;
    onMidiMessage(pads, 0x7F2790);  // note 39, handed over after the loss: key 3
    onMidiMessage(keys, 0x7F2890);  // note 40: key 4
    recoverLostMidiMessages();
    EXPECT_TRUE(voiceOf(3).playing);
    EXPECT_TRUE(voiceOf(4).playing);
    onMidiMessage(pads, 0x002780);
    EXPECT_FALSE(voiceOf(3).playing);

    noteLoss(lastNumber);  // lost with every message before it handled already
    ++lastNumber;
    onMidiMessage(pads, 0x7F2990);  // note 41, handed over after the loss: key 5
    EXPECT_FALSE(voiceOf(4).playing);
    EXPECT_TRUE(voiceOf(5).playing);
}

TEST_F(MidiMessages, ALossWithNothingHandedOverBehindItIsMadeGoodOnceTheQueueIsEmpty) {
    startWith({{0, "Pads"}});
    giveEveryKeyAVoice();
    onMidiMessage(tagOf(0), NoteOn36);
    onMidiMessage(tagOf(0), 0x7F2590);
    noteLoss(2);  // every message after them lost
    recoverLostMidiMessages();
    EXPECT_FALSE(voiceOf(0).playing);
    EXPECT_FALSE(voiceOf(1).playing);

    lastNumber += 2;
    onMidiMessage(tagOf(0), 0x7F2690);  // note 38: key 2
    noteLoss(6);                        // 6 is still queued: it may press a key whose note-off was lost
    recoverLostMidiMessages();
    EXPECT_TRUE(voiceOf(2).playing);
    onMidiMessage(tagOf(0), 0x7F2790);  // note 39: key 3
    EXPECT_FALSE(voiceOf(2).playing);
    EXPECT_FALSE(voiceOf(3).playing);
}

TEST_F(MidiMessages, WithVelocityOffEveryNotePlaysAtTheKeysOwnVolumeAndTheChoiceIsRemembered) {
    startWith({{0, "Pads"}});
    giveVoice(0);
    onMidiMessage(tagOf(0), 0x402490);
    EXPECT_EQ(voiceOf(0).volume, -890 - 1165);
    switchMidiVelocity();
    EXPECT_EQ(fakeMenu.checked[CMD_MIDI_VELOCITY], false);
    EXPECT_EQ(fakeRegistry.settings["MidiVelocity"], "off");
    onMidiMessage(tagOf(0), 0x402490);
    EXPECT_EQ(voiceOf(0).volume, -890);

    stopMidiInput();
    startMidiInput();
    EXPECT_EQ(fakeMenu.checked[CMD_MIDI_VELOCITY], false);
    switchMidiVelocity();
    EXPECT_EQ(fakeRegistry.settings["MidiVelocity"], "on");
}

TEST_F(MidiMessages, ProgramChangesZeroToSevenShowBanksOneToEightOnAnyChannel) {
    startWith({{0, "Pads"}});
    onMidiMessage(tagOf(0), 0x01C3);  // program 1, channel 4
    EXPECT_EQ(shownBank, 1);
    onMidiMessage(tagOf(0), 0x07C0);
    EXPECT_EQ(shownBank, 7);
    onMidiMessage(tagOf(0), 0x08C0);  // program 8: no bank
    EXPECT_EQ(shownBank, 7);
    onMidiMessage(999, 0x00C0);  // no input of ours
    EXPECT_EQ(shownBank, 7);
}

}  // namespace
