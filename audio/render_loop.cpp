#include "audio/render_loop.h"

#include "audio/mixer.h"

namespace {

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

void renderUnheard(RenderStream& stream, Mixer& mixer, uint32_t periodFrames, uint32_t periodMilliseconds,
                   std::vector<uint8_t>& unheard, const std::atomic<bool>& ending) {
    while (!ending.load()) {
        stream.waitForPeriod(periodMilliseconds);
        if (ending.load()) break;
        mixer.render(periodFrames, unheard.data());
    }
}
