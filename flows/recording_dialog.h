// Platform seam: the Record to WAV dialog. Defined in
// flows/recording_dialog_win32.cpp, faked in tests.
#pragma once

#include "base/text_sizes.h"

// The common Save dialog for WAV files, an existing file replaced only when
// the user confirms. False when cancelled.
bool askRecordingPath(char path[PathCapacity]);
