// The low-latency output's audio device: it makes MixedVoices and mixes the
// sounding ones into the output stream's format, one period at a time.
//
// Two threads meet here, and neither ever waits for the other. The program's
// thread makes, changes and releases voices; the render thread calls render()
// once a period. What they share, each field marked below: the slots of the
// voices being mixed (set by the program, read by the render thread), each
// voice's published settings and ended pass (mixed_voice.h), and the counts
// of mixes begun and done, by which the program frees a released voice only
// once no mix can still be reading it, whether the render thread sleeps, so
// that a voice started then wakes it, and the ring of a recording running,
// into which the render thread also writes what it mixes. The render thread
// neither allocates nor frees.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/audio_device.h"
#include "sound_files/sample_format.h"

class FrameRing;
class MixedVoice;
struct FrameSpan;

// More than the 47 keys of all eight banks can ever sound at once.
constexpr int MaxMixedVoices = 512;

class Mixer : public AudioDevice {
public:
    // For an output of this layout, mixing at most maxFrames frames at a time.
    Mixer(const SampleLayout& output, uint32_t maxFrames);
    // Every voice has been released and the render thread has ended.
    ~Mixer() override;

    // Refuses what a DirectSound buffer refuses: formats other than those of
    // sample_format.h, fewer than 4 or more than 0x0FFFFFFF bytes.
    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) override;
    // A duplicate of a part keeps the part.
    SoundResult DuplicateSoundBuffer(Voice* original, Voice** duplicate) override;
    // Shares the sound's bytes, as a duplicate does; the points are the
    // original's (a part's within the part).
    SoundResult DuplicateSoundBufferPart(Voice* original, uint32_t startMilliseconds, uint32_t endMilliseconds,
                                         Voice** duplicate) override;

    // The render thread's call: the next `frames` frames of the output.
    void render(uint32_t frames, void* destination);
    // The render thread's: whether any voice sounded at the end of the last mix.
    bool sounding() const { return lastMixSounded; }

    // While nothing sounds the render thread may sleep. It asks first: false
    // when a voice has been started meanwhile (or its settings are being
    // published as it looks), which it must mix at once, or while a recording
    // runs, which must get the silence too. From then until
    // awake() every voice started, and a recording, calls wakeUp(wakeContext).
    bool fallAsleep();
    void awake();
    // The program thread's: what wakes the render thread, set while no render
    // thread runs.
    void setWakeUp(void (*call)(void*), void* context) {
        wakeUp = call;
        wakeContext = context;
    }
    // For the voices, on the program's thread, after a start is published.
    void voiceStarted();
    // The output the mix is written for, as a stream opened anew asks for it.
    // Called by the one thread that renders, before it renders: the voices
    // play on where they were.
    void setOutput(const SampleLayout& layout);
    const SampleLayout& output() const { return outputLayout; }

    // The program thread's: from the next mix on, what the mix writes to the
    // output also goes into the ring, as 32-bit float samples of the output's
    // channels, clipped as the output's are. A mix for another rate or channel
    // count than the ring's closes the ring instead. nullptr: no more; it
    // returns once no mix writes into the ring.
    void recordInto(FrameRing* ring);

    // For the voices, on the program's thread: false when as many voices as
    // can be mixed are mixed already.
    bool startMixing(MixedVoice& voice);
    // For the voices: gives up a voice, freeing it once no mix reads it.
    void release(MixedVoice* voice);

    const uint32_t maxFrames;
    uint32_t rampFrames = 1;  // a few milliseconds of output; set with the output

private:
    MixedVoice* duplicateOf(const MixedVoice& source, const FrameSpan& span, bool isPart);
    void writeOutput(uint32_t frames, uint8_t* destination) const;
    void record(uint32_t frames, FrameRing& ring) const;
    float outputValue(uint32_t frame, uint16_t channel) const;
    void wakeIfAsleep();
    void freeReleasedVoices();
    bool voiceWaitingToStart() const;

    // Set by the program's thread, read by the render thread.
    std::array<std::atomic<MixedVoice*>, MaxMixedVoices> slots{};
    // Set by the render thread at the start and at the end of each mix.
    std::atomic<uint64_t> mixesBegun{0};
    std::atomic<uint64_t> mixesDone{0};
    // Set by the render thread, read by the program's when it starts a voice.
    std::atomic<bool> asleep{false};
    // Set by the program's thread, read by the render thread at each mix.
    std::atomic<FrameRing*> recording{nullptr};
    // The program thread's.
    void (*wakeUp)(void*) = nullptr;
    void* wakeContext = nullptr;
    // The render thread's.
    SampleLayout outputLayout;
    bool lastMixSounded = false;
    std::vector<float> sum;
    // The program thread's: released voices, each with the mix that may still read it.
    struct ReleasedVoice {
        MixedVoice* voice;
        uint64_t lastMix;
    };
    std::vector<ReleasedVoice> releasedVoices;
};
