#include "shell/program_messages_win32.h"

#include <cstdint>

#include "audio/low_latency_output.h"
#include "audio/output_events.h"
#include "base/app_handles_win32.h"
#include "base/midi_port_events.h"
#include "flows/output_device.h"
#include "flows/output_retry.h"
#include "flows/recording.h"
#include "flows/sound_loading.h"
#include "midi/midi_input.h"
#include "recording/recording_events.h"
#include "sound_files/decoding_events.h"

namespace {

constexpr UINT OutputLostMessage = WM_APP + 1;  // wParam: the stream's generation
constexpr UINT DefaultOutputChangedMessage = WM_APP + 2;
constexpr UINT OutputEndpointsChangedMessage = WM_APP + 3;
// The MIDI ports' messages: wParam's high 32 bits hold the message's number,
// its low ones the packed message; lParam the port's tag.
constexpr UINT MidiInputMessage = WM_APP + 4;
constexpr UINT RecordingEndedMessage = WM_APP + 5;
constexpr UINT MidiInputClosedMessage = WM_APP + 6;  // wParam, lParam: as MidiInputMessage's
constexpr UINT SoundDecodedMessage = WM_APP + 7;

constexpr UINT_PTR OutputRetryTimer = 1;

static_assert(sizeof(WPARAM) >= sizeof(uint64_t), "a MIDI message's number goes in the high half of wParam");

bool post(UINT message, WPARAM wParam, LPARAM lParam) { return PostMessageA(mainWindow, message, wParam, lParam); }

WPARAM numbered(uint32_t number, uint32_t packed) { return static_cast<WPARAM>(number) << 32 | packed; }

uint32_t midiMessageNumber(WPARAM wParam) { return static_cast<uint32_t>(static_cast<uint64_t>(wParam) >> 32); }

}  // namespace

void tellOutputLost(unsigned generation) { post(OutputLostMessage, generation, 0); }
void tellDefaultOutputChanged() { post(DefaultOutputChangedMessage, 0, 0); }
void tellOutputEndpointsChanged() { post(OutputEndpointsChangedMessage, 0, 0); }
void tellRecordingEnded() { post(RecordingEndedMessage, 0, 0); }
// A lost word is made up by the next: each takes every finished sound.
void tellSoundDecoded() { post(SoundDecodedMessage, 0, 0); }

bool tellMidiMessage(uint32_t tag, uint32_t packed, uint32_t number) {
    return post(MidiInputMessage, numbered(number, packed), static_cast<LPARAM>(tag));
}

bool tellMidiInputClosed(uint32_t tag, uint32_t number) {
    return post(MidiInputClosedMessage, numbered(number, 0), static_cast<LPARAM>(tag));
}

void scheduleOutputRetry(bool on) {
    if (on) SetTimer(mainWindow, OutputRetryTimer, 1000, nullptr);
    else KillTimer(mainWindow, OutputRetryTimer);
}

bool handleProgramMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case MidiInputMessage:
        onMidiMessage(static_cast<uint32_t>(lParam), static_cast<uint32_t>(wParam), midiMessageNumber(wParam));
        return true;
    case MidiInputClosedMessage:
        onMidiInputClosed(static_cast<uint32_t>(lParam), midiMessageNumber(wParam));
        return true;
    case OutputLostMessage:
        if (isCurrentLowLatencyStream(static_cast<unsigned>(wParam))) onOutputLost();
        return true;
    case DefaultOutputChangedMessage:
        onDefaultOutputChanged();
        return true;
    case OutputEndpointsChangedMessage:
        onOutputEndpointsChanged();
        return true;
    case RecordingEndedMessage:
        onRecordingEnded();
        return true;
    case SoundDecodedMessage:
        takeFinishedSounds();
        return true;
    case WM_TIMER:
        if (wParam == OutputRetryTimer) onOutputRetryDue();
        return true;
    default:
        return false;
    }
}
