// An audio device whose buffers are FakeVoices, logged as "device <call>".
#pragma once
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "audio/audio_output.h"
#include "audio/low_latency_output.h"
#include "fakes/fake_voice.h"

class FakeAudioDevice : public AudioDevice {
public:
    ~FakeAudioDevice() override = default;
    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) override;
    SoundResult DuplicateSoundBuffer(Voice* original, Voice** duplicate) override;
    // Logged as "device DuplicateSoundBufferPart <original> <start> <end>";
    // an end at or before a nonzero start holds no frame.
    SoundResult DuplicateSoundBufferPart(Voice* original, uint32_t startMilliseconds, uint32_t endMilliseconds,
                                         Voice** duplicate) override;

    // Every buffer made, in order; they stay alive after Release for inspection.
    std::deque<std::unique_ptr<FakeVoice>> buffers;
    SoundResult createResult = DS_OK;
    SoundResult duplicateResult = DS_OK;
    uint16_t refusedFormatTag = 0;            // CreateSoundBuffer fails for this format tag
    SoundResult newBufferLockResult = DS_OK;  // lockResult of every buffer made from now on
    uint32_t lastFormatTag = 0;
    uint32_t lastFlags = 0;
    uint32_t lastBufferBytes = 0;
};

// Both outputs hand out the one fake device; opening and closing them is
// logged as "output open low-latency [endpoint]", "output open directsound"
// and "output close", moves of the low-latency stream as "output move
// <endpoint or default>", the retry as "output retry on" and "output retry off",
// and the recording of the low-latency output as "output record on" and
// "output record off".
struct FakeAudio {
    bool lowLatencyOpens = true;  // what openAudioOutput will find
    bool directSoundOpens = true;
    std::set<std::string> absentEndpoints;  // no stream opens there ("" the default)
    std::vector<OutputEndpoint> endpoints;  // what listOutputEndpoints gives
    std::optional<AudioOutput> open;        // the output open now
    std::string endpoint;                   // where the low-latency stream plays
    bool retryScheduled = false;
    SampleLayout lowLatencyLayout = {SampleEncoding::Float32, 2, 8, 48000};
    FrameRing* recordingRing = nullptr;  // what the render thread would write into
    FakeAudioDevice device;
    // Back to a fresh device that opens either way; no output open.
    void reset();
};

extern FakeAudio fakeAudio;
