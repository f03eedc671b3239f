#include "audio/sound_part.h"

#include <algorithm>

namespace {

uint32_t nearestFrame(uint32_t rate, uint32_t milliseconds) {
    return static_cast<uint32_t>(std::min<uint64_t>((uint64_t{milliseconds} * rate + 500) / 1000, UINT32_MAX));
}

}  // namespace

bool soundPartFrames(uint32_t rate, uint32_t frames, uint32_t startMilliseconds, uint32_t endMilliseconds,
                     uint32_t& firstFrame, uint32_t& frameCount) {
    uint32_t first = std::min(nearestFrame(rate, startMilliseconds), frames);
    uint32_t end = endMilliseconds == 0 ? frames : std::min(nearestFrame(rate, endMilliseconds), frames);
    if (first >= end) return false;
    firstFrame = first;
    frameCount = end - first;
    return true;
}
