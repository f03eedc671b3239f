// Platform seam: the two ways out to the sound card. Defined in
// audio/audio_output_win32.cpp for the program, faked in tests.
#pragma once
#include <string>

enum class AudioOutput {
    LowLatency,   // the program's own mixer on a shared-mode WASAPI stream
    DirectSound,  // a DirectSound buffer for every voice
};

// Opens that output and makes it audioDevice; false, leaving audioDevice
// empty, when it cannot be had at any step. The low-latency output plays on
// the endpoint of that id, or on the system's default for "".
bool openAudioOutput(AudioOutput output, const std::string& endpointId = "");
// Closes the open output, if any, once every buffer and voice is released.
void closeAudioOutput();
