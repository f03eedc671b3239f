// Platform seam: the low-latency output, the program's own mixer on a
// shared-mode WASAPI stream of one endpoint, at the audio engine's mix format,
// fed by one render thread that keeps a few periods queued. The mixer and its
// voices outlive the stream: moveLowLatencyStream opens another one under
// them. Defined in audio/low_latency_output_win32.cpp, faked in tests.
#pragma once
#include <string>
#include <vector>

#include "audio/output_endpoint.h"
#include "sound_files/sample_format.h"

class FrameRing;

// Starts the stream on the endpoint ("" the default) and makes its mixer
// audioDevice; false, with nothing left running, when any step fails.
bool openWasapiOutput(const std::string& endpointId);
// Ends the render thread and the stream, then frees the mixer. Nothing when
// the output is not open.
void closeWasapiOutput();

// The endpoints that can play now; empty while the low-latency output is not open.
std::vector<OutputEndpoint> listOutputEndpoints();

// Moves the low-latency output's stream to the endpoint ("" the default),
// keeping its mixer, so every voice plays on where it was. False when no
// stream opens there: the stream in use, if any, plays on; a stream that was
// lost goes on mixing unheard, so that its voices play out as if heard.
bool moveLowLatencyStream(const std::string& endpointId);
// Whether a loss the render thread told of (audio/output_events.h, with its
// generation) is about the stream that plays now, not one already replaced.
bool isCurrentLowLatencyStream(unsigned generation);

// The rate and channel count the low-latency output plays at; false while it
// is not open.
bool lowLatencyOutputLayout(SampleLayout& layout);
// What the low-latency output plays also goes into the ring from its next mix
// on, wherever its stream moves (audio/mixer.h recordInto). nullptr: no more;
// it returns once nothing writes into the ring.
void recordLowLatencyOutput(FrameRing* ring);
