// The low-latency output's audio device: it makes MixedVoices and mixes the
// sounding ones into the output stream's format, one period at a time.
//
// Two threads meet here. The program's thread makes, changes and releases
// voices; the render thread calls render() once a period. They share `lock`,
// which either holds for a copy of a few fields per voice, never for a whole
// mix, and the count of mixes done. The render thread neither allocates nor
// frees: voices are freed on the program's thread once no mix can still be
// reading them.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/audio_device.h"
#include "audio/sample_format.h"

class MixedVoice;

// More than the 47 keys can ever sound at once.
constexpr size_t MaxMixedVoices = 256;

class Mixer : public AudioDevice {
public:
    // For an output of this layout, given at most maxFrames frames a call.
    Mixer(const SampleLayout& output, uint32_t maxFrames);
    // Every voice has been released and the render thread has ended.
    ~Mixer() override;

    // Refuses what a DirectSound buffer refuses: formats other than those of
    // sample_format.h, fewer than 4 or more than 0x0FFFFFFF bytes.
    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) override;
    SoundResult DuplicateSoundBuffer(Voice* original, Voice** duplicate) override;

    // The render thread's call: the next `frames` frames of the output.
    void render(uint32_t frames, void* destination);

    // For the voices, with `lock` held: false when as many voices as can be
    // mixed are mixed already.
    bool startMixing(MixedVoice& voice);
    // For the voices: gives up a voice, freeing it once no mix reads it.
    void release(MixedVoice* voice);

    const SampleLayout output;
    const uint32_t maxFrames;
    const uint32_t rampFrames;  // a few milliseconds of output
    std::mutex lock;

private:
    uint64_t takeSnapshot();
    void reportMixes(uint64_t snapshot);
    void writeOutput(uint32_t frames, uint8_t* destination) const;
    void stopMixing(MixedVoice& voice);
    void freeReleasedVoices();

    // Under `lock`: the voices the mixer plays, and the count of mixes begun.
    std::array<MixedVoice*, MaxMixedVoices> mixed{};
    size_t mixedCount = 0;
    uint64_t mixesBegun = 0;
    // The render thread's: the voices of the mix in progress, and the sum.
    std::array<MixedVoice*, MaxMixedVoices> mixing{};
    size_t mixingCount = 0;
    std::vector<float> sum;
    std::atomic<uint64_t> mixesDone{0};
    // The program thread's: released voices that a mix may still be reading.
    std::vector<MixedVoice*> releasedVoices;
};
