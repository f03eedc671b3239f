// A recording of what the low-latency output plays, into a WAV file of 32-bit
// float samples at the output's rate and channel count (audio/wave_header.h).
//
// Three threads take part. The render thread writes every frame it mixes into
// the ring and never waits (audio/mixer.h recordInto). The recording's own
// writer thread drains the ring into the file every tenth of a second (at
// once while a slow disk leaves it behind), and twice a second, behind or not,
// makes the file whole: what was written put on the disk, then the header's
// sizes rewritten to cover it. So the file is a valid WAV file at any moment,
// and one left by a killed process or a power cut lacks at most the last
// second. The program's thread starts and finishes the recording.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/frame_ring.h"

class RecordingFile;

enum class RecordingEnd {
    Running,        // not ended yet
    Stopped,        // finished by the program, every frame written
    WriteFailed,    // the file could not be written; it holds what was, valid
    OutputChanged,  // the output moved to another rate or channel count
    FileFull,       // the file holds as much as a WAV file can
};

// What the ring holds: the time a stalled disk may hold the writer up
// without a frame lost.
constexpr uint32_t RingSeconds = 10;
// More than any speaker layout has.
constexpr uint16_t MostRecordedChannels = 64;

class Recording {
public:
    // Writes the header of an empty recording to the file and starts the
    // writer. Empty when the header cannot be written, the layout cannot be
    // recorded or there is no memory for the ring. The file holds at most
    // largestFrames frames (0: as many as a WAV file can).
    static std::unique_ptr<Recording> start(std::unique_ptr<RecordingFile> file, uint16_t channels, uint32_t rate,
                                            uint32_t largestFrames = 0);
    ~Recording();

    // The render thread writes it, the writer reads it.
    FrameRing ring;

    // The program thread's, once no mix writes into the ring any more: the
    // writer writes what is left, makes the file whole and ends. How it ended.
    RecordingEnd finish();
    // Whether the writer has ended by itself (and told the program so).
    bool writerEnded() const { return ended.load() != RecordingEnd::Running; }

private:
    Recording(std::unique_ptr<RecordingFile> file, uint16_t channels, uint32_t rate, uint32_t largestFrames);
    void writeFrames();
    RecordingEnd drain(std::chrono::steady_clock::time_point until, bool& behind);
    bool makeWhole();

    const std::unique_ptr<RecordingFile> file;
    const uint32_t largestFrames;
    // The writer's.
    std::vector<float> piece;
    uint32_t framesWritten = 0;  // appended in full
    // Set by the writer as it ends.
    std::atomic<RecordingEnd> ended{RecordingEnd::Running};
    // The program's word to the writer that it is time to finish.
    std::mutex finishLock;
    std::condition_variable finishAsked;
    bool finishWanted = false;  // guarded by finishLock
    std::thread writer;
};
