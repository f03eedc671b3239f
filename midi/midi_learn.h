// MIDI learn: the selected key waits for a note, and the next note-on is
// bound to it and plays it. The window title says so meanwhile; Escape, a
// click, the window losing the keyboard or the command again cancel it.
#pragma once

// The Learn MIDI Note command: starts waiting, or cancels when waiting.
void switchMidiLearn();
// Nothing is bound; the title is the setup's again. Nothing happens when not waiting.
void cancelMidiLearn();
// A note-on arrived: while waiting, the note now plays the key that waits,
// and the wait ends. Nothing happens when not waiting.
void learnMidiNote(int note);
// The Reset MIDI Map command: after a confirmation, the default map again.
void confirmResetMidiMap();
