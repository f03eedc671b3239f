// The shell's last step: give the audio device back before the entry point
// returns, since releasing it later, at process exit, can crash.
#pragma once

void closeAudioDevice();
