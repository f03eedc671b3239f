// The one way other threads and timers reach the program's thread: the tell
// functions that audio/output_events.h, recording/recording_events.h and
// base/midi_port_events.h declare post a message to the main window, and the
// main window hands each to its handler here, on the program's thread, in
// order with every other message. The retry timer of flows/output_retry.h
// runs here too.
#pragma once
#include <windows.h>

// Handles the program's own posted messages and timers; false for any other message.
bool handleProgramMessage(UINT message, WPARAM wParam, LPARAM lParam);
