#include "audio/render_loop.h"

#include "audio/mixer.h"

bool renderPeriods(RenderStream& stream, Mixer& mixer, uint32_t queuedFrames, const std::atomic<bool>& ending) {
    int failures = 0;
    while (!ending.load()) {
        bool asked = stream.waitForPeriod(LongestPeriodWait);
        if (ending.load()) break;
        uint32_t queued = 0;
        StreamCall result = stream.queuedFrames(queued);
        if (result == StreamCall::Done && queued < queuedFrames) result = stream.write(mixer, queuedFrames - queued);
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
