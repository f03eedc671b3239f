#include "audio/render_loop.h"

#include <algorithm>

#include "audio/mixer.h"

namespace {

constexpr uint64_t MicrosecondsPerSecond = 1000000;
// An unheard mix held up longer than this (the machine suspended) starts its
// time again rather than mixing the whole gap at once.
constexpr uint64_t LongestCatchUp = MicrosecondsPerSecond;

// Stops the stream and sleeps while nothing has been started; a start met on
// the way in keeps the stream running.
StreamCall sleepWhileSilent(RenderStream& stream, Mixer& mixer, uint32_t queuedFrames,
                            const std::atomic<bool>& ending) {
    if (!mixer.fallAsleep()) return StreamCall::Done;
    StreamCall paused = stream.pause();
    if (paused != StreamCall::Done) {
        mixer.awake();
        return paused;
    }
    // Woken by a start, or for the end; any other wake-up sleeps again.
    while (!ending.load() && mixer.fallAsleep()) stream.waitForPeriod(WaitForever);
    mixer.awake();
    return ending.load() ? StreamCall::Done : stream.resume(mixer, queuedFrames);
}

}  // namespace

bool renderPeriods(RenderStream& stream, Mixer& mixer, uint32_t queuedFrames, const std::atomic<bool>& ending) {
    int failures = 0;
    uint64_t silentFrames = 0;
    while (!ending.load()) {
        StreamCall result = StreamCall::Done;
        bool asked = true;
        if (silentFrames >= uint64_t{mixer.output().rate} * SilenceBeforeSleep / 1000) {
            silentFrames = 0;
            result = sleepWhileSilent(stream, mixer, queuedFrames, ending);
        } else {
            asked = stream.waitForPeriod(LongestPeriodWait);
            if (ending.load()) break;
            uint32_t queued = 0;
            result = stream.queuedFrames(queued);
            if (result == StreamCall::Done && queued < queuedFrames) {
                result = stream.write(mixer, queuedFrames - queued);
                silentFrames = mixer.sounding() ? 0 : silentFrames + (queuedFrames - queued);
            }
        }
        if (result == StreamCall::DeviceGone) return false;
        // A stream that stops asking for periods has lost its device too.
        failures = result == StreamCall::Done && asked ? 0 : failures + 1;
        if (failures >= FailuresOfALostStream) return false;
    }
    return true;
}

void playStream(RenderStream& stream, Mixer& mixer, const StreamShape& shape, std::vector<uint8_t>& unheard,
                const std::atomic<bool>& ending) {
    // First of all: whatever is mixed from here on, heard or not, is written
    // in this stream's layout, into buffers sized for it.
    mixer.setOutput(shape.layout);
    unheard.assign(static_cast<size_t>(shape.periodFrames) * shape.layout.blockAlign, 0);
    bool ended = stream.start(shape.queuedFrames) == StreamCall::Done &&
                 renderPeriods(stream, mixer, shape.queuedFrames, ending);
    stream.stop();
    if (ended || ending.load()) return;
    stream.tellLost();
    renderUnheard(stream, mixer, shape.periodFrames, unheard, ending);
}

// Paced by the clock, not by the waits: a wait may last a whole tick of the
// system's clock longer than asked, and a recording across the loss would be
// stretched by every one.
void renderUnheard(RenderStream& stream, Mixer& mixer, uint32_t periodFrames, std::vector<uint8_t>& unheard,
                   const std::atomic<bool>& ending) {
    const uint64_t rate = std::max<uint32_t>(mixer.output().rate, 1);
    uint64_t started = stream.microseconds();
    uint64_t framesMixed = 0;
    while (!ending.load()) {
        uint64_t now = stream.microseconds();
        uint64_t due = started + (framesMixed + periodFrames) * MicrosecondsPerSecond / rate;
        if (now < due) {
            stream.waitForPeriod(static_cast<uint32_t>((due - now + 999) / 1000));
            continue;
        }
        mixer.render(periodFrames, unheard.data());
        framesMixed += periodFrames;
        if (now - due > LongestCatchUp) {
            started = now;
            framesMixed = 0;
        }
    }
}
