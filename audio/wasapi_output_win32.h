// The low-latency output: the default device's shared-mode WASAPI stream at
// the audio engine's mix format, driven by its period event, and one render
// thread that fills the stream from the program's own mixer.
#pragma once

// Starts the stream and makes its mixer audioDevice; false, with nothing left
// running, when any step fails.
bool openWasapiOutput();
// Ends the render thread and the stream, then frees the mixer. Nothing when
// the stream is not open.
void closeWasapiOutput();
