// The Key Properties command (Edit > Key Properties, or a right-click on a
// key cap): the selected key's choke group, fades and start and end points in
// a dialog, applied at OK as one undoable change.
#pragma once

// Asks for the selected key's properties. OK with any of them changed marks
// the setup modified, as one step Ctrl+Z undoes; the key gets a fresh voice
// when its points changed, its new fades from its next start.
void editKeyProperties();
