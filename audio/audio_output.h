// Platform seam: the two ways out to the sound card, and the endpoints the
// low-latency one can play on. Defined in audio/audio_output_win32.cpp and
// audio/wasapi_output_win32.cpp for the program, faked in tests.
#pragma once
#include <string>
#include <vector>

#include "sound_files/sample_format.h"

class FrameRing;

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

// An output endpoint as the system lists it.
struct OutputEndpoint {
    std::string id;    // what opens it again, also after a restart
    std::string name;  // what the user knows it by
};
// The endpoints that can play now; empty while the low-latency output is not open.
std::vector<OutputEndpoint> listOutputEndpoints();

// Moves the low-latency output's stream to the endpoint ("" the default),
// keeping its mixer, so every voice plays on where it was. False when no
// stream opens there: the stream in use, if any, plays on; a stream that was
// lost goes on mixing unheard, so that its voices play out as if heard.
bool moveLowLatencyStream(const std::string& endpointId);
// While on, the program is told once a second to try the endpoint again.
void scheduleOutputRetry(bool on);

// The rate and channel count the low-latency output plays at; false while it
// is not open.
bool lowLatencyOutputLayout(SampleLayout& layout);
// What the low-latency output plays also goes into the ring from its next mix
// on, wherever its stream moves (audio/mixer.h recordInto). nullptr: no more;
// it returns once nothing writes into the ring.
void recordLowLatencyOutput(FrameRing* ring);
