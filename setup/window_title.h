// Platform seam: the main window's caption, which the setup's document and
// MIDI learn set. Declared here, defined by the shell
// (shell/main_window_win32.cpp), faked in tests.
#pragma once

void setMainWindowTitle(const char* title);
