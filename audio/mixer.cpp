#include "audio/mixer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "audio/frame_ring.h"
#include "audio/mixed_voice.h"
#include "audio/sound_part.h"
#include "sound_files/wave_format.h"

namespace {

// DirectSound's bounds for a buffer (DSBSIZE_MIN and DSBSIZE_MAX).
constexpr uint32_t SmallestBufferBytes = 4;
constexpr uint32_t LargestBufferBytes = 0x0FFFFFFF;
constexpr uint32_t RampsPerSecond = 200;  // 5 ms
// The render thread hands a recording its frames in pieces of this many samples, on its stack.
constexpr uint32_t RecordPieceSamples = 4096;

// The bytes a sound has before it is written: silence in its format.
std::shared_ptr<SoundData> makeSoundData(const SampleLayout& layout, uint32_t byteCount) {
    auto sound = std::make_shared<SoundData>();
    sound->bytes.reset(new (std::nothrow) uint8_t[byteCount]);
    if (!sound->bytes) return nullptr;
    std::memset(sound->bytes.get(), layout.encoding == SampleEncoding::Unsigned8 ? 0x80 : 0, byteCount);
    sound->layout = layout;
    sound->byteCount = byteCount;
    sound->frames = byteCount / layout.blockAlign;
    return sound;
}

}  // namespace

Mixer::Mixer(const SampleLayout& output, uint32_t maxFrames)
    : maxFrames(std::max<uint32_t>(maxFrames, 1)), sum(2 * static_cast<size_t>(this->maxFrames)) {
    setOutput(output);
}

Mixer::~Mixer() {
    // The render thread has ended: nothing reads the released voices any more.
    for (const ReleasedVoice& released : releasedVoices) delete released.voice;
}

void Mixer::setOutput(const SampleLayout& layout) {
    outputLayout = layout;
    rampFrames = std::max<uint32_t>(layout.rate / RampsPerSecond, 1);
}

SoundResult Mixer::CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) {
    freeReleasedVoices();
    if (!desc.format || !buffer) return DSERR_INVALIDPARAM;
    SampleLayout layout;
    if (!soundLayout(*desc.format, layout)) return DSERR_BADFORMAT;
    if (desc.bufferBytes < SmallestBufferBytes || desc.bufferBytes > LargestBufferBytes) return DSERR_INVALIDPARAM;
    std::shared_ptr<SoundData> sound = makeSoundData(layout, desc.bufferBytes);
    if (!sound) return DSERR_OUTOFMEMORY;
    const FrameSpan whole = {0, sound->frames};
    *buffer = new MixedVoice(*this, std::move(sound), whole, false);
    return DS_OK;
}

SoundResult Mixer::DuplicateSoundBuffer(Voice* original, Voice** duplicate) {
    freeReleasedVoices();
    if (!original || !duplicate) return DSERR_INVALIDPARAM;
    auto* source = static_cast<MixedVoice*>(original);
    *duplicate = duplicateOf(*source, source->span, source->isPart);
    return DS_OK;
}

// The points count whole frames of the original's data: a bank buffer holds
// one byte past its last whole frame, a part exactly its frames. The part's
// frames are read where the sound holds them.
SoundResult Mixer::DuplicateSoundBufferPart(Voice* original, uint32_t startMilliseconds, uint32_t endMilliseconds,
                                            Voice** duplicate) {
    freeReleasedVoices();
    if (!original || !duplicate) return DSERR_INVALIDPARAM;
    auto* source = static_cast<MixedVoice*>(original);
    const SoundData& sound = *source->sound;
    const uint32_t frames = source->isPart ? source->span.count : (sound.byteCount - 1) / sound.layout.blockAlign;
    FrameSpan part;
    if (!soundPartFrames(sound.layout.rate, frames, startMilliseconds, endMilliseconds, part.first, part.count))
        return DSERR_INVALIDPARAM;
    part.first += source->span.first;
    *duplicate = duplicateOf(*source, part, true);
    return DS_OK;
}

// A duplicate starts stopped at the first frame of its span, with the
// original's rate, volume and pan, and no fades.
MixedVoice* Mixer::duplicateOf(const MixedVoice& source, const FrameSpan& span, bool isPart) {
    auto* copy = new MixedVoice(*this, source.sound, span, isPart);
    copy->volume = source.volume;
    copy->pan = source.pan;
    copy->settings.frequency = source.settings.frequency;
    copy->settings.gains[0] = source.settings.gains[0];
    copy->settings.gains[1] = source.settings.gains[1];
    copy->published.publish(copy->settings);
    return copy;
}

void Mixer::render(uint32_t frames, void* destination) {
    auto* out = static_cast<uint8_t*>(destination);
    while (frames > 0) {
        uint32_t part = std::min(frames, maxFrames);
        // Stored before any slot is read: a voice taken out of its slot after
        // this may still be read by this mix, and is freed only once it is done.
        uint64_t mix = mixesBegun.load(std::memory_order_relaxed) + 1;
        mixesBegun.store(mix, std::memory_order_seq_cst);
        FrameRing* ring = recording.load(std::memory_order_seq_cst);
        std::fill(sum.begin(), sum.begin() + 2 * static_cast<size_t>(part), 0.0f);
        lastMixSounded = false;
        for (std::atomic<MixedVoice*>& slot : slots) {
            MixedVoice* voice = slot.load(std::memory_order_seq_cst);
            if (!voice) continue;
            voice->mixInto(part, rampFrames, outputLayout.rate, sum.data());
            lastMixSounded = lastMixSounded || voice->render.sounding || voice->render.fadingOut;
        }
        writeOutput(part, out);
        if (ring) record(part, *ring);
        mixesDone.store(mix, std::memory_order_release);
        out += static_cast<size_t>(part) * outputLayout.blockAlign;
        frames -= part;
    }
}

void Mixer::writeOutput(uint32_t frames, uint8_t* destination) const {
    const SampleLayout& output = outputLayout;
    const size_t sampleBytes = output.blockAlign / output.channels;
    for (uint32_t n = 0; n < frames; ++n) {
        uint8_t* frame = destination + static_cast<size_t>(n) * output.blockAlign;
        for (uint16_t c = 0; c < output.channels; ++c)
            writeSample(output.encoding, outputValue(n, c), frame + c * sampleBytes);
    }
}

// The recording gets what the output gets, before it is scaled to the
// output's encoding.
void Mixer::record(uint32_t frames, FrameRing& ring) const {
    const uint16_t channels = outputLayout.channels;
    if (ring.channels != channels || ring.rate != outputLayout.rate || channels > RecordPieceSamples) {
        ring.close();
        return;
    }
    float piece[RecordPieceSamples];
    const uint32_t pieceFrames = RecordPieceSamples / channels;
    for (uint32_t first = 0; first < frames; first += pieceFrames) {
        uint32_t count = std::min(pieceFrames, frames - first);
        for (uint32_t n = 0; n < count; ++n)
            for (uint16_t c = 0; c < channels; ++c) piece[n * channels + c] = clippedSample(outputValue(first + n, c));
        ring.write(piece, count);
    }
}

// Channel c of frame n of the output, before it is clipped. Front left and
// front right come first in every channel order; a mono output gets both.
float Mixer::outputValue(uint32_t n, uint16_t c) const {
    if (outputLayout.channels == 1) return (sum[2 * n] + sum[2 * n + 1]) * 0.5f;
    return c < 2 ? sum[2 * n + c] : 0.0f;
}

// A start published and not yet mixed: the copy taken now differs from the
// one the last mix played by. A copy being written as it looks may be a start
// (or follow one right after it): that counts as a start waiting too.
bool Mixer::voiceWaitingToStart() const {
    for (const std::atomic<MixedVoice*>& slot : slots) {
        MixedVoice* voice = slot.load(std::memory_order_seq_cst);
        if (!voice) continue;
        VoiceSettings latest;
        if (!voice->published.take(latest)) return true;
        if (latest.playing && latest.starts != voice->render.startsSeen) return true;
    }
    return false;
}

// The render thread says it sleeps before it looks for a start; a voice
// started says so before it looks whether the thread sleeps. Between the two,
// the fences make sure that at least one sees the other: no start is slept
// through. The look reads the voices as a mix does, and is counted as one, so
// that no voice released meanwhile is freed under it.
bool Mixer::fallAsleep() {
    asleep.store(true, std::memory_order_seq_cst);
    std::atomic_thread_fence(std::memory_order_seq_cst);
    uint64_t look = mixesBegun.load(std::memory_order_relaxed) + 1;
    mixesBegun.store(look, std::memory_order_seq_cst);
    bool starting = voiceWaitingToStart();
    mixesDone.store(look, std::memory_order_release);
    if (!starting && !recording.load(std::memory_order_seq_cst)) return true;
    awake();
    return false;
}

void Mixer::awake() { asleep.store(false, std::memory_order_seq_cst); }

void Mixer::voiceStarted() { wakeIfAsleep(); }

void Mixer::wakeIfAsleep() {
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (asleep.load(std::memory_order_seq_cst) && wakeUp) wakeUp(wakeContext);
}

void Mixer::recordInto(FrameRing* ring) {
    recording.store(ring, std::memory_order_seq_cst);
    if (ring) {
        wakeIfAsleep();
        return;
    }
    // A mix begun before the ring was taken away may still be writing into it:
    // it ends within a piece of a period, for the render thread never waits.
    uint64_t lastMix = mixesBegun.load(std::memory_order_seq_cst);
    while (mixesDone.load(std::memory_order_acquire) < lastMix) std::this_thread::yield();
}

bool Mixer::startMixing(MixedVoice& voice) {
    for (int i = 0; i < MaxMixedVoices; ++i) {
        if (slots[i].load(std::memory_order_relaxed)) continue;  // only this thread fills slots
        // Everything the voice holds is written before the render thread can find it here.
        slots[i].store(&voice, std::memory_order_seq_cst);
        voice.slot = i;
        return true;
    }
    return false;
}

void Mixer::release(MixedVoice* voice) {
    if (voice->slot < 0) {
        delete voice;  // never mixed
    } else {
        slots[voice->slot].store(nullptr, std::memory_order_seq_cst);
        // A mix begun before the slot was emptied may still be reading the voice.
        uint64_t lastMix = mixesBegun.load(std::memory_order_seq_cst);
        if (mixesDone.load(std::memory_order_acquire) >= lastMix) delete voice;
        else releasedVoices.push_back({voice, lastMix});
    }
    freeReleasedVoices();
}

void Mixer::freeReleasedVoices() {
    uint64_t done = mixesDone.load(std::memory_order_acquire);
    size_t kept = 0;
    for (const ReleasedVoice& released : releasedVoices) {
        if (released.lastMix > done) releasedVoices[kept++] = released;
        else delete released.voice;
    }
    releasedVoices.resize(kept);
}
