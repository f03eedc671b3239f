// Record to WAV: what the low-latency output plays goes into a WAV file the
// user names, from the Functions menu's Record item (Ctrl+R) until the item,
// then reading Stop Recording, is chosen again, the output is switched or the
// program closes. While it records the window title ends with " [REC]" and
// the item is checked; the setup and its modified flag stay as they are.
#pragma once

// The Record item: asks for the file and starts recording at once, or stops
// the recording running.
void toggleRecording();
// The output is about to close, or the program: a recording running ends
// with its file complete.
void endRecording();
// The writer stopped by itself (a write failed, the file is full, the output
// changed its rate or channel count): the recording ends, and a message says
// why.
void onRecordingEnded();
