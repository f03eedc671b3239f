// The main loop: every message in arrival order, the accelerators first, and
// the keys playing to their end polled every 10 ms while there are any. It
// waits in between and never spins, so an idle program costs next to nothing.
#pragma once
#include <windows.h>

// Runs until the quit message; its exit code.
int runMainLoop(HACCEL accelerators);
