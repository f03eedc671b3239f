// A voice of the low-latency output: a DirectSound-like secondary buffer that
// the program's own mixer plays. The program's thread changes its settings
// and publishes a copy of them; the render thread plays it from a state of its
// own, brought up to date from the latest copy at the start of every mix, and
// tells the program back when a pass played once, or faded out, has ended.
// Neither waits for the other.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/snapshot_mailbox.h"
#include "audio/voice.h"
#include "sound_files/sample_format.h"

class Mixer;

// A sound's bytes in its own format. A bank buffer and all its duplicates
// share them, as DirectSound duplicates share their memory, and they live as
// long as any of those voices does.
struct SoundData {
    SampleLayout layout;
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t byteCount = 0;
    uint32_t frames = 0;  // whole frames in byteCount
};

// The frames of the sound a voice plays: all of them, or the part between a
// key's points. Positions, loops and a pass's end are the part's.
struct FrameSpan {
    uint32_t first = 0;
    uint32_t count = 0;
};

// Positions and rates are in frames of the sound, fixed point with 32
// fractional bits.
constexpr int PositionFractionBits = 32;

// What the program last asked of a voice: the program thread's own record,
// of which the render thread sees published copies.
struct VoiceSettings {
    bool playing = false;  // what GetStatus reports
    bool looping = false;
    uint32_t frequency = 0;         // sound frames a second
    float gains[2] = {1.0f, 1.0f};  // left and right, from volume and pan
    // Counted, so that a stop and a restart, or two moves, between two mixes
    // are all heard; a copy that is older or newer says which it has seen.
    uint32_t starts = 0;
    uint32_t stops = 0;
    uint32_t positionRequests = 0;
    uint32_t position = 0;  // frame
    // The envelope: every start rises over the fade-in; while fadingToStop the
    // pass playing falls over the fade-out and then ends. A start after it
    // clears it in the same copy, so a copy says which pass it is for.
    uint32_t fadeInMilliseconds = 0;
    uint32_t fadeOutMilliseconds = 0;
    bool fadingToStop = false;
};

// The starts and stops of a voice as one number: the pass a report is about.
constexpr uint64_t passOf(uint32_t starts, uint32_t stops) { return uint64_t{starts} << 32 | stops; }

// A level moving in a straight line from `from` to `to` over `frames` output
// frames, of which `done` have been mixed.
struct Envelope {
    float from = 1.0f;
    float to = 1.0f;
    uint32_t frames = 0;
    uint32_t done = 0;
    float level() const {
        return done >= frames ? to : from + (to - from) * (static_cast<float>(done) / static_cast<float>(frames));
    }
};

// One pass through the sound as the render thread plays it. Gains move to
// their targets in a ramp, so that no change of level steps the waveform; the
// envelope of the fades multiplies them.
struct Cursor {
    uint64_t position = 0;
    uint64_t step = 0;
    bool looping = false;
    float gains[2] = {0.0f, 0.0f};
    float targets[2] = {0.0f, 0.0f};
    float gainSteps[2] = {0.0f, 0.0f};
    uint32_t rampFramesLeft = 0;
    Envelope envelope;
    bool fadingToStop = false;  // the pass ends once the envelope has fallen to silence
};

// The render thread's own state of a voice.
struct VoiceRender {
    VoiceSettings seen;  // the copy of the settings it plays by
    Cursor playing;      // the pass being heard
    bool sounding = false;
    Cursor fading;  // a stopped pass, ramping down to silence
    bool fadingOut = false;
    uint32_t startsSeen = 0;
    uint32_t stopsSeen = 0;
    uint32_t positionRequestsSeen = 0;
    bool passEnded = false;  // the last mix reached the end of a pass played once
};

// Brings the render state up to a copy of the settings at the start of a mix:
// a stop fades the pass out over rampFrames, a start sounds at once at full
// gain, or rises from silence over its fade-in, and a fade-out falls from
// where the envelope is.
void applySettings(const VoiceSettings& settings, uint32_t rampFrames, uint32_t outputRate, VoiceRender& render);
// Adds `frames` frames of the voice, playing the span of the sound, to a
// stereo mix (left, right, ...).
void mixVoice(const SoundData& sound, const FrameSpan& span, uint32_t frames, VoiceRender& render, float* mix);

// Sound frames per output frame for a rate in frames a second.
uint64_t playbackStep(uint32_t samplesPerSecond, uint32_t outputRate);
// Left and right gains of a DirectSound volume and pan, both in hundredths of
// a decibel: the pan attenuates the far side by its size; -10000 is silence.
void volumePanGains(int32_t volume, int32_t pan, float gains[2]);

class MixedVoice : public Voice {
public:
    // Playing the whole sound, or the part of it when isPart.
    MixedVoice(Mixer& mixer, std::shared_ptr<SoundData> sound, const FrameSpan& span, bool isPart);
    ~MixedVoice() override = default;

    SoundResult Play(uint32_t reserved1, uint32_t priority, uint32_t flags) override;
    SoundResult Stop() override;
    SoundResult SetCurrentPosition(uint32_t position) override;
    SoundResult SetFrequency(uint32_t samplesPerSecond) override;
    SoundResult SetPan(int32_t pan) override;
    SoundResult SetVolume(int32_t level) override;
    SoundResult GetStatus(uint32_t* status) override;
    SoundResult Restore() override;
    // For a part, SetCurrentPosition and Lock are the part's: position 0 is
    // its start point. A single area, cut at the end of the buffer: no
    // wrapped second area.
    SoundResult Lock(uint32_t offset, uint32_t bytes, void** area, uint32_t* areaBytes, uint32_t flags) override;
    SoundResult Unlock(void* area, uint32_t areaBytes) override;
    SoundResult Release() override;
    SoundResult SetFades(uint32_t fadeInMilliseconds, uint32_t fadeOutMilliseconds) override;
    SoundResult FadeOut() override;

    // The render thread's part of a mix: the voice brought up to the latest
    // published settings, mixed, and a pass that ended told back.
    void mixInto(uint32_t frames, uint32_t rampFrames, uint32_t outputRate, float* mix);

    Mixer& mixer;
    const std::shared_ptr<SoundData> sound;
    const FrameSpan span;
    const bool isPart;

    // The program thread's: as it set them.
    int32_t volume = 0;
    int32_t pan = 0;
    VoiceSettings settings;
    int slot = -1;  // the mixer's slot while it mixes the voice, from the first Play to the release

    // Between the threads: the program's settings towards the render thread,
    // and back the pass (starts and stops) that ended when played once or
    // faded out.
    SnapshotMailbox<VoiceSettings> published;
    std::atomic<uint64_t> endedPass{0};

    VoiceRender render;  // the render thread's

private:
    // Sends the settings to the render thread.
    void publish() { published.publish(settings); }
    // A pass the render thread has played to its end, or faded out, stops the
    // voice, unless the program has started or stopped it since.
    void takeEndedPass();
    // The bytes the voice plays: the sound's, or the part's.
    uint8_t* playedBytes() const;
    uint32_t playedByteCount() const;
};
