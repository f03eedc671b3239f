#include "recording/recording.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "recording/recording_events.h"
#include "recording/recording_file.h"
#include "sound_files/wave_header.h"

namespace {

constexpr std::chrono::milliseconds DrainInterval{100};
// Twice a second, so that with the ring's last tenth of a second still to be
// drained a killed process loses less than a second.
constexpr std::chrono::milliseconds WholeInterval{500};
// The writer appends at most this many frames at a time.
constexpr uint32_t PieceFrames = 16384;

}  // namespace

Recording::Recording(std::unique_ptr<RecordingFile> file, uint16_t channels, uint32_t rate, uint32_t largestFrames)
    : ring(channels, rate, RingSeconds * rate),
      file(std::move(file)),
      largestFrames(largestFrames ? largestFrames : largestFloatWaveFrames(channels)),
      piece(static_cast<size_t>(PieceFrames) * channels) {}

std::unique_ptr<Recording> Recording::start(std::unique_ptr<RecordingFile> file, uint16_t channels, uint32_t rate,
                                            uint32_t largestFrames) {
    if (!file || channels == 0 || channels > MostRecordedChannels || rate == 0) return nullptr;
    std::unique_ptr<Recording> recording(new Recording(std::move(file), channels, rate, largestFrames));
    if (!recording->ring.made() || !recording->makeWhole()) return nullptr;
    try {
        recording->writer = std::thread(&Recording::writeFrames, recording.get());
    } catch (const std::system_error&) {
        return nullptr;  // the file stays an empty recording
    }
    return recording;
}

Recording::~Recording() { finish(); }

RecordingEnd Recording::finish() {
    if (writer.joinable()) {
        {
            std::lock_guard<std::mutex> lock(finishLock);
            finishWanted = true;
        }
        finishAsked.notify_one();
        writer.join();
    }
    return ended.load();
}

void Recording::writeFrames() {
    auto wholeDue = std::chrono::steady_clock::now() + WholeInterval;
    RecordingEnd end = RecordingEnd::Running;
    bool finishing = false;
    bool behind = false;
    while (end == RecordingEnd::Running) {
        {
            std::unique_lock<std::mutex> lock(finishLock);
            if (!behind) finishAsked.wait_for(lock, DrainInterval, [this] { return finishWanted; });
            finishing = finishWanted;
        }
        // Looked at first: every frame written before the ring was closed is drained below.
        bool closed = ring.isClosed();
        // Once no frame can follow, all of them; before that only until the
        // header is due, or a disk slower than the output would hold it back
        // for as long as the backlog lasts.
        auto until = closed || finishing ? std::chrono::steady_clock::time_point::max() : wholeDue;
        end = drain(until, behind);
        if (end == RecordingEnd::Running && closed) end = RecordingEnd::OutputChanged;
        if (end == RecordingEnd::Running && finishing) end = RecordingEnd::Stopped;
        if (end == RecordingEnd::Running && std::chrono::steady_clock::now() < wholeDue) continue;
        // A file whose writes failed is still made whole as far as it goes.
        if (!makeWhole() && end != RecordingEnd::WriteFailed) end = RecordingEnd::WriteFailed;
        wholeDue = std::chrono::steady_clock::now() + WholeInterval;
    }
    file->keep();  // the last header on the disk too
    ended.store(end);
    if (!finishing) tellRecordingEnded();
}

// Whether frames were left in the ring at the time limit, in `behind`.
RecordingEnd Recording::drain(std::chrono::steady_clock::time_point until, bool& behind) {
    const uint16_t channels = ring.channels;
    behind = false;
    for (;;) {
        uint32_t room = largestFrames - framesWritten;
        if (room == 0) return RecordingEnd::FileFull;
        uint32_t count = ring.read(piece.data(), std::min(PieceFrames, room));
        if (count == 0) return RecordingEnd::Running;
        if (!file->append(piece.data(), sizeof(float) * count * channels)) return RecordingEnd::WriteFailed;
        framesWritten += count;
        if (std::chrono::steady_clock::now() >= until) {
            behind = true;
            return RecordingEnd::Running;
        }
    }
}

// The header covers only what is on the disk before it.
bool Recording::makeWhole() {
    bool kept = file->keep();
    WaveHeader header = floatWaveHeader(ring.channels, ring.rate, framesWritten);
    return file->writeStart(header.bytes, header.size) && kept;
}
