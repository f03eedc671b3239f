#include "sound_files/decoded_frames.h"

#include <algorithm>
#include <new>

namespace {

enum class Speaker : uint8_t { Left, Right, Center, LowFrequency, SideLeft, SideRight, BackCenter, Unplaced };

constexpr float MinusThreeDecibels = 0.70710678f;
constexpr float MinusSixDecibels = 0.5f;

// WAVE's SPEAKER_ bits, lowest first.
constexpr Speaker MaskSpeakers[] = {
    Speaker::Left, Speaker::Right,  Speaker::Center,     Speaker::LowFrequency, Speaker::SideLeft,   Speaker::SideRight,
    Speaker::Left, Speaker::Right,  Speaker::BackCenter, Speaker::SideLeft,     Speaker::SideRight,  Speaker::Unplaced,
    Speaker::Left, Speaker::Center, Speaker::Right,      Speaker::SideLeft,     Speaker::BackCenter, Speaker::SideRight,
};

// The usual masks for 1 to 8 channels: mono, stereo, 2.1 as L R C, quad,
// 5.0, 5.1, 6.1, 7.1.
constexpr uint32_t UsualMasks[] = {0, 0x4, 0x3, 0x7, 0x33, 0x37, 0x3F, 0x70F, 0x63F};

std::vector<Speaker> vorbisSpeakers(uint16_t channels) {
    using S = Speaker;
    switch (channels) {
    case 3:
        return {S::Left, S::Center, S::Right};
    case 4:
        return {S::Left, S::Right, S::SideLeft, S::SideRight};
    case 5:
        return {S::Left, S::Center, S::Right, S::SideLeft, S::SideRight};
    case 6:
        return {S::Left, S::Center, S::Right, S::SideLeft, S::SideRight, S::LowFrequency};
    case 7:
        return {S::Left, S::Center, S::Right, S::SideLeft, S::SideRight, S::BackCenter, S::LowFrequency};
    case 8:
        return {S::Left, S::Center, S::Right, S::SideLeft, S::SideRight, S::SideLeft, S::SideRight, S::LowFrequency};
    default:
        return std::vector<Speaker>(channels, S::Unplaced);
    }
}

std::vector<Speaker> maskSpeakers(uint16_t channels, uint32_t mask) {
    if (mask == 0 && channels < std::size(UsualMasks)) mask = UsualMasks[channels];
    std::vector<Speaker> speakers;
    for (size_t bit = 0; bit < std::size(MaskSpeakers) && speakers.size() < channels; ++bit)
        if (mask & (1u << bit)) speakers.push_back(MaskSpeakers[bit]);
    speakers.resize(channels, Speaker::Unplaced);
    return speakers;
}

void weightsOf(Speaker speaker, float& left, float& right) {
    switch (speaker) {
    case Speaker::Left:
        left = 1, right = 0;
        return;
    case Speaker::Right:
        left = 0, right = 1;
        return;
    case Speaker::Center:
        left = right = MinusThreeDecibels;
        return;
    case Speaker::LowFrequency:
        left = right = 0;
        return;
    case Speaker::SideLeft:
        left = MinusThreeDecibels, right = 0;
        return;
    case Speaker::SideRight:
        left = 0, right = MinusThreeDecibels;
        return;
    case Speaker::BackCenter:
    case Speaker::Unplaced:
        left = right = MinusSixDecibels;
        return;
    }
}

FrameMix mixOf(uint16_t channels, const std::vector<Speaker>& speakers) {
    FrameMix mix;
    mix.channels = channels;
    if (channels <= 2) {
        mix.outputChannels = channels;
        mix.leftWeights = channels == 1 ? std::vector<float>{1} : std::vector<float>{1, 0};
        if (channels == 2) mix.rightWeights = {0, 1};
        return mix;
    }
    mix.outputChannels = 2;
    float leftSum = 0;
    float rightSum = 0;
    for (Speaker speaker : speakers) {
        float left = 0;
        float right = 0;
        weightsOf(speaker, left, right);
        mix.leftWeights.push_back(left);
        mix.rightWeights.push_back(right);
        leftSum += left;
        rightSum += right;
    }
    float largest = std::max(leftSum, rightSum);
    if (largest > 1) {
        for (float& weight : mix.leftWeights) weight /= largest;
        for (float& weight : mix.rightWeights) weight /= largest;
    }
    return mix;
}

SampleEncoding encodingOf(const WaveFormatRecord& format) {
    return format.formatTag == WaveFormatFloat ? SampleEncoding::Float32 : SampleEncoding::Signed16;
}

float mixed(const std::vector<float>& weights, const float* const* channelStarts, size_t at) {
    float sum = 0;
    for (size_t c = 0; c < weights.size(); ++c)
        if (weights[c] != 0) sum += weights[c] * channelStarts[c][at];
    return sum;
}

}  // namespace

FrameMix vorbisFrameMix(uint16_t channels) { return mixOf(channels, vorbisSpeakers(channels)); }

FrameMix waveFrameMix(uint16_t channels, uint32_t channelMask) {
    return mixOf(channels, maskSpeakers(channels, channelMask));
}

void startDecodedSound(uint32_t rate, const FrameMix& mix, SampleEncoding encoding, DecodedSound& sound) {
    uint16_t sampleBytes = encoding == SampleEncoding::Float32 ? 4 : 2;
    sound.samples.clear();
    sound.format = WaveFormatRecord{};
    sound.format.formatTag = encoding == SampleEncoding::Float32 ? WaveFormatFloat : WaveFormatPcm;
    sound.format.channels = mix.outputChannels;
    sound.format.samplesPerSec = rate;
    sound.format.blockAlign = static_cast<uint16_t>(mix.outputChannels * sampleBytes);
    sound.format.avgBytesPerSec = rate * sound.format.blockAlign;
    sound.format.bitsPerSample = static_cast<uint16_t>(sampleBytes * 8);
}

WaveResult appendDecodedFrames(const FrameMix& mix, const float* const* channelStarts, size_t stride, size_t frames,
                               DecodedSound& sound) {
    size_t frameBytes = sound.format.blockAlign;
    size_t held = sound.samples.size();
    if (frameBytes == 0 || frames > (LargestDecodedBytes - held) / frameBytes) return DecoderErrorTooLong;
    try {
        sound.samples.resize(held + frames * frameBytes);
    } catch (const std::bad_alloc&) {
        return WaveErrorNoMemory;
    }
    SampleEncoding encoding = encodingOf(sound.format);
    size_t sampleBytes = frameBytes / mix.outputChannels;
    uint8_t* at = sound.samples.data() + held;
    for (size_t i = 0; i < frames; ++i) {
        writeSample(encoding, mixed(mix.leftWeights, channelStarts, i * stride), at);
        at += sampleBytes;
        if (mix.outputChannels == 2) {
            writeSample(encoding, mixed(mix.rightWeights, channelStarts, i * stride), at);
            at += sampleBytes;
        }
    }
    return 0;
}

void keepDecodedFrames(uint64_t first, uint64_t count, DecodedSound& sound) {
    uint64_t frames = decodedFrameCount(sound);
    first = std::min(first, frames);
    count = std::min(count, frames - first);
    size_t frameBytes = sound.format.blockAlign;
    sound.samples.erase(sound.samples.begin() + static_cast<std::ptrdiff_t>((first + count) * frameBytes),
                        sound.samples.end());
    sound.samples.erase(sound.samples.begin(), sound.samples.begin() + static_cast<std::ptrdiff_t>(first * frameBytes));
}

uint64_t decodedFrameCount(const DecodedSound& sound) {
    return sound.format.blockAlign == 0 ? 0 : sound.samples.size() / sound.format.blockAlign;
}
