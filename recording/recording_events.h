// What a recording's writer thread tells the program: declared here, defined
// by the shell, which hands it over to the program's thread, where
// flows/recording.h onRecordingEnded handles it. Faked in tests.
#pragma once

// The recording ended by itself (a write failed, the file is full, the
// output changed its layout).
void tellRecordingEnded();
