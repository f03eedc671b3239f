// Platform seam: what the core changes of the main window itself.
// Defined in app/main_window_win32.cpp, faked in tests.
#pragma once

// The main window's caption.
void setMainWindowTitle(const char* title);
