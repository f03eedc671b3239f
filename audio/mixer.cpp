#include "audio/mixer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "audio/mixed_voice.h"
#include "audio/wave_format.h"

namespace {

// DirectSound's bounds for a buffer (DSBSIZE_MIN and DSBSIZE_MAX).
constexpr uint32_t SmallestBufferBytes = 4;
constexpr uint32_t LargestBufferBytes = 0x0FFFFFFF;
constexpr uint32_t RampsPerSecond = 200;  // 5 ms

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
    : output(output),
      maxFrames(std::max<uint32_t>(maxFrames, 1)),
      rampFrames(std::max<uint32_t>(output.rate / RampsPerSecond, 1)),
      sum(2 * static_cast<size_t>(this->maxFrames)) {}

Mixer::~Mixer() {
    // The render thread has ended: nothing reads the released voices any more.
    for (MixedVoice* voice : releasedVoices) delete voice;
}

SoundResult Mixer::CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) {
    freeReleasedVoices();
    if (!desc.format || !buffer) return DSERR_INVALIDPARAM;
    SampleLayout layout;
    if (!soundLayout(*desc.format, layout)) return DSERR_BADFORMAT;
    if (desc.bufferBytes < SmallestBufferBytes || desc.bufferBytes > LargestBufferBytes) return DSERR_INVALIDPARAM;
    std::shared_ptr<SoundData> sound = makeSoundData(layout, desc.bufferBytes);
    if (!sound) return DSERR_OUTOFMEMORY;
    *buffer = new MixedVoice(*this, std::move(sound));
    return DS_OK;
}

SoundResult Mixer::DuplicateSoundBuffer(Voice* original, Voice** duplicate) {
    freeReleasedVoices();
    if (!original || !duplicate) return DSERR_INVALIDPARAM;
    // A duplicate starts stopped at the first frame, with the original's rate,
    // volume and pan.
    auto* source = static_cast<MixedVoice*>(original);
    auto* copy = new MixedVoice(*this, source->sound);
    copy->frequency = source->frequency;
    copy->volume = source->volume;
    copy->pan = source->pan;
    {
        std::lock_guard<std::mutex> hold(lock);
        copy->settings.step = source->settings.step;
        copy->settings.gains[0] = source->settings.gains[0];
        copy->settings.gains[1] = source->settings.gains[1];
    }
    *duplicate = copy;
    return DS_OK;
}

void Mixer::render(uint32_t frames, void* destination) {
    auto* out = static_cast<uint8_t*>(destination);
    while (frames > 0) {
        uint32_t part = std::min(frames, maxFrames);
        uint64_t snapshot = takeSnapshot();
        std::fill(sum.begin(), sum.begin() + 2 * static_cast<size_t>(part), 0.0f);
        for (size_t i = 0; i < mixingCount; ++i) mixVoice(*mixing[i]->sound, part, mixing[i]->render, sum.data());
        reportMixes(snapshot);
        writeOutput(part, out);
        out += static_cast<size_t>(part) * output.blockAlign;
        frames -= part;
    }
}

uint64_t Mixer::takeSnapshot() {
    std::lock_guard<std::mutex> hold(lock);
    uint64_t snapshot = ++mixesBegun;
    mixingCount = mixedCount;
    for (size_t i = 0; i < mixedCount; ++i) {
        MixedVoice& voice = *mixed[i];
        applySettings(rampFrames, voice.settings, voice.render);
        voice.lastMix = snapshot;
        mixing[i] = &voice;
    }
    return snapshot;
}

void Mixer::reportMixes(uint64_t snapshot) {
    {
        std::lock_guard<std::mutex> hold(lock);
        for (size_t i = 0; i < mixingCount; ++i) {
            MixedVoice& voice = *mixing[i];
            if (!voice.listed) continue;  // released during the mix
            reportMix(voice.render, voice.settings);
            if (voiceSilent(voice.settings, voice.render)) stopMixing(voice);
        }
    }
    // From here on the program's thread may free what this mix read.
    mixesDone.store(snapshot, std::memory_order_release);
}

void Mixer::writeOutput(uint32_t frames, uint8_t* destination) const {
    const size_t sampleBytes = output.blockAlign / output.channels;
    for (uint32_t n = 0; n < frames; ++n) {
        float left = sum[2 * n], right = sum[2 * n + 1];
        uint8_t* frame = destination + static_cast<size_t>(n) * output.blockAlign;
        if (output.channels == 1) {
            writeSample(output.encoding, (left + right) * 0.5f, frame);
            continue;
        }
        // Front left and front right come first in every channel order.
        writeSample(output.encoding, left, frame);
        writeSample(output.encoding, right, frame + sampleBytes);
        for (uint16_t c = 2; c < output.channels; ++c) writeSample(output.encoding, 0.0f, frame + c * sampleBytes);
    }
}

bool Mixer::startMixing(MixedVoice& voice) {
    if (mixedCount == mixed.size()) return false;
    mixed[mixedCount++] = &voice;
    voice.listed = true;
    return true;
}

void Mixer::stopMixing(MixedVoice& voice) {
    auto last = mixed.begin() + static_cast<std::ptrdiff_t>(mixedCount);
    auto found = std::find(mixed.begin(), last, &voice);
    if (found != last) {
        *found = *(last - 1);
        --mixedCount;
    }
    voice.listed = false;
}

void Mixer::release(MixedVoice* voice) {
    bool readByAMix;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (voice->listed) stopMixing(*voice);
        readByAMix = voice->lastMix > mixesDone.load(std::memory_order_acquire);
    }
    if (readByAMix) releasedVoices.push_back(voice);
    else delete voice;
    freeReleasedVoices();
}

void Mixer::freeReleasedVoices() {
    uint64_t done = mixesDone.load(std::memory_order_acquire);
    size_t kept = 0;
    for (MixedVoice* voice : releasedVoices) {
        if (voice->lastMix > done) releasedVoices[kept++] = voice;
        else delete voice;
    }
    releasedVoices.resize(kept);
}
