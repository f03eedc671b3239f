#include "flows/recording.h"

#include <cstdio>
#include <memory>

#include "audio/low_latency_output.h"
#include "base/dialogs.h"
#include "base/joined_text.h"
#include "base/menu.h"
#include "flows/recording_dialog.h"
#include "recording/recording.h"
#include "recording/recording_file.h"
#include "resources/command_ids.h"
#include "setup/document.h"

namespace {

constexpr char RecordText[] = "Record to WAV...\tCtrl+R";
constexpr char StopText[] = "Stop Recording\tCtrl+R";

struct RunningRecording {
    std::unique_ptr<Recording> recording;
    char path[PathCapacity] = "";
};

RunningRecording running;

void showRecording(bool on) {
    setMenuItemText(CMD_RECORD, on ? StopText : RecordText);
    setMenuItemChecked(CMD_RECORD, on);
    document.recording = on;
    updateWindowTitle();
}

void startRecording() {
    SampleLayout layout;
    if (!lowLatencyOutputLayout(layout)) return;
    char path[PathCapacity];
    if (!askRecordingPath(path)) return;
    // Read again: the dialog's modal loop may have moved the stream to
    // another layout, which would close the ring at the first mix.
    if (!lowLatencyOutputLayout(layout)) return;
    running.recording = Recording::start(createRecordingFile(path), layout.channels, layout.rate);
    if (!running.recording) {
        char text[ShownTextCapacity];
        joinText(text, sizeof text, {"Could not write ", path, "."});
        showMessage(text);
        return;
    }
    std::snprintf(running.path, sizeof running.path, "%s", path);
    recordLowLatencyOutput(&running.recording->ring);
    showRecording(true);
}

// Why the recording ended and what it lost, in one message; none when the
// user stopped it and nothing was lost.
void tellEnd(RecordingEnd end, uint64_t droppedFrames, uint32_t rate) {
    char why[ShownTextCapacity] = "";
    if (end == RecordingEnd::WriteFailed)
        joinText(why, sizeof why, {"Recording stopped: could not write ", running.path, "."});
    else if (end == RecordingEnd::FileFull)
        joinText(why, sizeof why, {"Recording stopped: ", running.path, " is as large as a WAV file can be."});
    else if (end == RecordingEnd::OutputChanged)
        joinText(why, sizeof why, {"Recording stopped: the output changed its rate or channel count."});
    char lost[ShownTextCapacity] = "";
    if (droppedFrames > 0) {
        // Rounded up: a single frame lost is not nothing.
        unsigned long long milliseconds = (droppedFrames * 1000 + rate - 1) / rate;
        std::snprintf(lost, sizeof lost, "%s%llu ms of the recording were lost: the disk could not keep up.",
                      why[0] ? "\n" : "", milliseconds);
    }
    if (!why[0] && !lost[0]) return;
    char text[ShownTextCapacity];
    joinText(text, sizeof text, {why, lost});
    showMessage(text);
}

}  // namespace

void toggleRecording() {
    if (running.recording) endRecording();
    else startRecording();
}

void endRecording() {
    if (!running.recording) return;
    recordLowLatencyOutput(nullptr);
    RecordingEnd end = running.recording->finish();
    uint64_t dropped = running.recording->ring.droppedFrames();
    uint32_t rate = running.recording->ring.rate;
    running.recording.reset();
    showRecording(false);
    tellEnd(end, dropped, rate);
}

void onRecordingEnded() {
    // A word from a recording already stopped is no news.
    if (running.recording && running.recording->writerEnded()) endRecording();
}
