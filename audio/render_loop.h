// The render thread's run on its stream: each period the stream's queue is
// topped up to a few periods with the next frames of the mix. After a second
// in which nothing sounded the stream stops and the thread sleeps, until a
// voice is started: then the stream starts again with that voice at the head
// of its queue. While a recording runs it never sleeps, so that the recording
// holds the silence too. A stream that is lost is left for mixing unheard, a period at
// a time, so that the voices play on as if heard (a pass played once still
// ends, and its key is freed, and a recording goes on) until the program
// moves the output elsewhere.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "sound_files/sample_format.h"

class Mixer;

enum class StreamCall {
    Done,
    Failed,      // this once; a stream that fails again and again is lost
    DeviceGone,  // the device is unplugged, disabled or replaced: lost at once
};

// What the loop asks of a stream: a WASAPI stream on Windows, a fake in tests.
class RenderStream {
public:
    // Until the stream asks for more or the milliseconds have passed; false
    // when they passed (or the thread was woken for another reason).
    virtual bool waitForPeriod(uint32_t milliseconds) = 0;
    // The frames queued and not yet played.
    virtual StreamCall queuedFrames(uint32_t& frames) = 0;
    // The next `frames` frames of the mix, appended to the queue.
    virtual StreamCall write(Mixer& mixer, uint32_t frames) = 0;
    // Stops the stream: nothing plays and no period is asked for until resume.
    virtual StreamCall pause() = 0;
    // Empties the queue, fills it with the next `frames` frames of the mix and
    // starts the stream again.
    virtual StreamCall resume(Mixer& mixer, uint32_t frames) = 0;
    // The first start: `frames` frames of silence queued, so that the stream
    // starts without a gap, and the stream started.
    virtual StreamCall start(uint32_t frames) = 0;
    // Stops the stream for good.
    virtual void stop() = 0;
    // Tells the program that the stream is lost, once, from the render thread.
    virtual void tellLost() = 0;
    // A steady clock in microseconds: what paces the mix while nothing hears it.
    virtual uint64_t microseconds() = 0;

protected:
    virtual ~RenderStream() = default;
};

// A stream that never asks for a period in this long has stopped.
constexpr uint32_t LongestPeriodWait = 200;
// A sleeping thread waits this long: until it is woken.
constexpr uint32_t WaitForever = 0xFFFFFFFF;
// Silence, in milliseconds, after which the stream stops until a voice starts.
constexpr uint32_t SilenceBeforeSleep = 1000;
// Failed calls (or periods never asked for) in a row that count as a lost stream.
constexpr int FailuresOfALostStream = 5;

// What a stream opened for the mixer plays: its layout, the engine's period
// and the frames kept queued.
struct StreamShape {
    SampleLayout layout;
    uint32_t periodFrames = 1;
    uint32_t queuedFrames = 1;
};

// The render thread's whole run on a stream opened for it, until `ending`:
// the mixer set to the stream's layout before anything renders, the stream
// started and kept queued; once it is lost (also when it cannot start), the
// program told and the voices mixed on unheard into `unheard`, sized here for
// a period of this layout.
void playStream(RenderStream& stream, Mixer& mixer, const StreamShape& shape, std::vector<uint8_t>& unheard,
                const std::atomic<bool>& ending);
// Keeps `queuedFrames` frames queued until `ending`; false as soon as the
// stream is lost, true when it ended.
bool renderPeriods(RenderStream& stream, Mixer& mixer, uint32_t queuedFrames, const std::atomic<bool>& ending);
// Mixes `periodFrames` frames into `unheard` (a period of the mixer's output)
// as often as the stream's clock says a period has passed, until `ending`: an
// unheard mix keeps real time, however long each wait lasts.
void renderUnheard(RenderStream& stream, Mixer& mixer, uint32_t periodFrames, std::vector<uint8_t>& unheard,
                   const std::atomic<bool>& ending);
