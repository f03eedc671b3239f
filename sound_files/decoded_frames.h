// Frames a decoder gives, of any number of channels in float, written into a
// DecodedSound as a sound buffer takes them: mono stays mono, stereo stereo,
// and more channels are mixed down to stereo.
//
// The mix down: front left and right go to their side, the centre to both at
// -3 dB, side and back channels to their side at -3 dB, a back centre or a
// channel of no known place to both at -6 dB; the low-frequency channel is
// left out. The weights are then scaled down so that no side sums to more
// than full scale, so a mix of full-scale channels cannot clip.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound_files/decoded_sound.h"
#include "sound_files/sample_format.h"

struct FrameMix {
    uint16_t channels = 0;            // of the decoded frames
    uint16_t outputChannels = 0;      // 1 or 2
    std::vector<float> leftWeights;   // one per decoded channel; the mono output's for one channel
    std::vector<float> rightWeights;  // empty for a mono output
};

// The channel orders of Vorbis (the format's own, for 1 to 8 channels;
// channels past those have no known place).
FrameMix vorbisFrameMix(uint16_t channels);
// WAVE's order: the channels of the mask's bits, lowest bit first (no mask:
// the usual layout for the count).
FrameMix waveFrameMix(uint16_t channels, uint32_t channelMask);

// Empties the sound and gives it the record of the mix's output: 16-bit PCM
// or 32-bit float at rate.
void startDecodedSound(uint32_t rate, const FrameMix& mix, SampleEncoding encoding, DecodedSound& sound);
// Appends frames; sample i of channel c is channelStarts[c][i * stride].
// DecoderErrorTooLong past LargestDecodedBytes and WaveErrorNoMemory leave
// the sound as it was.
WaveResult appendDecodedFrames(const FrameMix& mix, const float* const* channelStarts, size_t stride, size_t frames,
                               DecodedSound& sound);
// Keeps count frames from first on (as many as there are) and drops the rest.
void keepDecodedFrames(uint64_t first, uint64_t count, DecodedSound& sound);
// Frames held.
uint64_t decodedFrameCount(const DecodedSound& sound);
