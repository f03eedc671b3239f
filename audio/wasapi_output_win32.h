// The low-latency output: the program's own mixer on a shared-mode WASAPI
// stream of one endpoint, at the audio engine's mix format, fed by one render
// thread that keeps a few periods queued. The mixer and its voices outlive the
// stream: moveLowLatencyStream (audio/audio_output.h) opens another one under
// them.
#pragma once
#include <string>

// Starts the stream on the endpoint ("" the default) and makes its mixer
// audioDevice; false, with nothing left running, when any step fails.
bool openWasapiOutput(const std::string& endpointId);
// Ends the render thread and the stream, then frees the mixer. Nothing when
// the output is not open.
void closeWasapiOutput();
// Whether a loss the render thread told of (OutputLostMessage, with its
// generation) is about the stream that plays now, not one already replaced.
bool isCurrentLowLatencyStream(unsigned generation);
