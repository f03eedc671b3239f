// The part of a sound a key plays, from its start and end points.
#pragma once
#include <cstdint>

// The frames of a sound of `frames` frames at `rate` frames a second between
// the points, in milliseconds of the sound, each rounded to the nearest frame;
// an end of 0 is the sound's end, and points past it are taken as its end.
// False when the part holds no frame (a start at or past the end).
bool soundPartFrames(uint32_t rate, uint32_t frames, uint32_t startMilliseconds, uint32_t endMilliseconds,
                     uint32_t& firstFrame, uint32_t& frameCount);
