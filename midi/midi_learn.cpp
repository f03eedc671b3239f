#include "midi/midi_learn.h"

#include "base/dialogs.h"
#include "base/menu.h"
#include "keys/key_bank.h"
#include "midi/note_map.h"
#include "resources/command_ids.h"
#include "setup/document.h"
#include "setup/window_title.h"

namespace {

constexpr char WaitingTitle[] = "Play a MIDI note for the selected key...";
constexpr char ResetQuestion[] = "Restore the default MIDI map?\n\nEvery note learnt is forgotten.";

// The key that waits, as selected when the wait began; -1 while none waits.
int learningKey = -1;

void endWait() {
    learningKey = -1;
    setMenuItemChecked(CMD_MIDI_LEARN, false);
    updateWindowTitle();
}

}  // namespace

void switchMidiLearn() {
    if (learningKey >= 0 || !isKeyIndex(keyBank.selectedKey)) {
        cancelMidiLearn();
        return;
    }
    learningKey = keyBank.selectedKey;
    setMenuItemChecked(CMD_MIDI_LEARN, true);
    setMainWindowTitle(WaitingTitle);
}

void cancelMidiLearn() {
    if (learningKey >= 0) endWait();
}

void learnMidiNote(int note) {
    if (learningKey < 0) return;
    bindNoteToKey(note, learningKey);
    endWait();
}

void confirmResetMidiMap() {
    cancelMidiLearn();
    if (askOkCancel(ResetQuestion) == AnswerOk) resetNoteMap();
}
