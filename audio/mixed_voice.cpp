#include "audio/mixed_voice.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "audio/mixer.h"

namespace {

constexpr int32_t SilentLevel = -10000;
constexpr int32_t FullPan = 10000;
constexpr uint64_t FractionMask = (uint64_t{1} << PositionFractionBits) - 1;
constexpr float FractionScale = 1.0f / 4294967296.0f;

float levelGain(int32_t hundredthsOfDecibel) {
    if (hundredthsOfDecibel <= SilentLevel) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDecibel / 2000.0));
}

void setTargets(const float targets[2], uint32_t rampFrames, Cursor& cursor) {
    if (cursor.targets[0] == targets[0] && cursor.targets[1] == targets[1]) return;  // a ramp in progress goes on
    for (int c = 0; c < 2; ++c) {
        cursor.targets[c] = targets[c];
        cursor.gainSteps[c] = (targets[c] - cursor.gains[c]) / static_cast<float>(rampFrames);
    }
    cursor.rampFramesLeft = rampFrames;
}

void snapGains(const float targets[2], Cursor& cursor) {
    for (int c = 0; c < 2; ++c) cursor.gains[c] = cursor.targets[c] = targets[c];
    cursor.rampFramesLeft = 0;
}

void stepRamp(Cursor& cursor) {
    if (cursor.rampFramesLeft == 0) return;
    if (--cursor.rampFramesLeft == 0) {
        cursor.gains[0] = cursor.targets[0];
        cursor.gains[1] = cursor.targets[1];
        return;
    }
    cursor.gains[0] += cursor.gainSteps[0];
    cursor.gains[1] += cursor.gainSteps[1];
}

uint32_t framesOfMilliseconds(uint32_t milliseconds, uint32_t outputRate) {
    return static_cast<uint32_t>(std::min<uint64_t>((uint64_t{milliseconds} * outputRate + 500) / 1000, UINT32_MAX));
}

// The pass being heard goes on as a fade to silence, its envelope held where
// it is; the voice keeps its position, as a stopped DirectSound buffer does.
void rampOut(uint32_t rampFrames, VoiceRender& render) {
    if (!render.sounding) return;
    render.fading = render.playing;
    const float level = render.fading.envelope.level();
    render.fading.envelope = {level, level, 0, 0};
    render.fading.fadingToStop = false;
    const float silence[2] = {0.0f, 0.0f};
    setTargets(silence, rampFrames, render.fading);
    render.fadingOut = true;
    render.sounding = false;
}

// A start rises from silence over the fade-in, or is heard at full level at once.
void startEnvelope(uint32_t fadeInFrames, Cursor& cursor) {
    cursor.envelope = fadeInFrames > 0 ? Envelope{0.0f, 1.0f, fadeInFrames, 0} : Envelope{};
    cursor.fadingToStop = false;
}

// The fade-out falls from wherever the envelope is, a fade-in under way too,
// over its whole length.
void startFadeOut(uint32_t fadeOutFrames, Cursor& cursor) {
    cursor.envelope = {cursor.envelope.level(), 0.0f, std::max<uint32_t>(fadeOutFrames, 1), 0};
    cursor.fadingToStop = true;
}

bool fadedToSilence(const Cursor& cursor) {
    return cursor.fadingToStop && cursor.envelope.done >= cursor.envelope.frames;
}

void readFrame(const SoundData& sound, uint32_t index, float frame[2]) {
    const uint8_t* at = sound.bytes.get() + static_cast<size_t>(index) * sound.layout.blockAlign;
    frame[0] = readSample(sound.layout.encoding, at);
    frame[1] =
        sound.layout.channels == 2 ? readSample(sound.layout.encoding, at + sound.layout.blockAlign / 2) : frame[0];
}

// The four frames of the span around a position in it: one before, the frame
// itself and two after. Past either end of the span a loop goes round within
// it and a single pass reads silence, as if the span were the whole sound.
void framesAround(const SoundData& sound, const FrameSpan& span, int64_t index, bool looping, float taps[4][2]) {
    const int64_t frames = span.count;
    for (int k = 0; k < 4; ++k) {
        int64_t at = index - 1 + k;
        if (at < 0 || at >= frames) {
            if (!looping) {
                taps[k][0] = taps[k][1] = 0.0f;
                continue;
            }
            at = (at % frames + frames) % frames;
        }
        readFrame(sound, span.first + static_cast<uint32_t>(at), taps[k]);
    }
}

// Four-point, third-order Hermite interpolation at t (0 .. 1) between the
// second and third point: smooth enough that the images it leaves of a tone
// lie far below the 60 dB a listener could pick out.
float hermite(const float taps[4][2], int channel, float t) {
    float before = taps[0][channel], at = taps[1][channel], next = taps[2][channel], after = taps[3][channel];
    float slope = (next - before) * 0.5f;
    float difference = at - next;
    float w = slope + difference;
    float a = w + difference + (after - at) * 0.5f;
    float b = w + a;
    return ((a * t - b) * t + slope) * t + at;
}

// Mixes one pass for up to `frames` frames; fewer when a pass played once
// reaches the end of its span, or a fade-out has fallen to silence.
uint32_t mixCursor(const SoundData& sound, const FrameSpan& span, uint32_t frames, Cursor& cursor, float* mix) {
    const uint64_t end = static_cast<uint64_t>(span.count) << PositionFractionBits;
    for (uint32_t n = 0; n < frames; ++n) {
        if (fadedToSilence(cursor)) return n;
        if (cursor.position >= end) {
            if (!cursor.looping || end == 0) return n;
            cursor.position %= end;
        }
        float taps[4][2];
        framesAround(sound, span, static_cast<int64_t>(cursor.position >> PositionFractionBits), cursor.looping, taps);
        float t = static_cast<float>(cursor.position & FractionMask) * FractionScale;
        const float level = cursor.envelope.level();
        mix[2 * n] += hermite(taps, 0, t) * cursor.gains[0] * level;
        mix[2 * n + 1] += hermite(taps, 1, t) * cursor.gains[1] * level;
        stepRamp(cursor);
        if (cursor.envelope.done < cursor.envelope.frames) ++cursor.envelope.done;
        cursor.position += cursor.step;
    }
    return frames;
}

}  // namespace

uint64_t playbackStep(uint32_t samplesPerSecond, uint32_t outputRate) {
    return (static_cast<uint64_t>(samplesPerSecond) << PositionFractionBits) / outputRate;
}

void volumePanGains(int32_t volume, int32_t pan, float gains[2]) {
    float level = levelGain(volume);
    gains[0] = level * (pan > 0 ? levelGain(-pan) : 1.0f);
    gains[1] = level * (pan < 0 ? levelGain(pan) : 1.0f);
}

void applySettings(const VoiceSettings& settings, uint32_t rampFrames, uint32_t outputRate, VoiceRender& render) {
    if (render.stopsSeen != settings.stops) {
        render.stopsSeen = settings.stops;
        rampOut(rampFrames, render);
    }
    if (render.positionRequestsSeen != settings.positionRequests) {
        render.positionRequestsSeen = settings.positionRequests;
        render.playing.position = static_cast<uint64_t>(settings.position) << PositionFractionBits;
    }
    bool starting = render.startsSeen != settings.starts && settings.playing;
    render.startsSeen = settings.starts;
    if (starting || !settings.playing) rampOut(rampFrames, render);
    render.playing.step = playbackStep(settings.frequency, outputRate);
    render.playing.looping = settings.looping;
    if (starting) {
        render.sounding = true;
        snapGains(settings.gains, render.playing);  // a start is heard at once, at its level
        startEnvelope(framesOfMilliseconds(settings.fadeInMilliseconds, outputRate), render.playing);
    } else {
        setTargets(settings.gains, rampFrames, render.playing);
    }
    if (settings.fadingToStop && render.sounding && !render.playing.fadingToStop)
        startFadeOut(framesOfMilliseconds(settings.fadeOutMilliseconds, outputRate), render.playing);
    render.passEnded = false;
}

void mixVoice(const SoundData& sound, const FrameSpan& span, uint32_t frames, VoiceRender& render, float* mix) {
    if (render.fadingOut) {
        uint32_t fadeFrames = std::min(frames, render.fading.rampFramesLeft);
        uint32_t faded = mixCursor(sound, span, fadeFrames, render.fading, mix);
        if (faded < fadeFrames || render.fading.rampFramesLeft == 0) render.fadingOut = false;
    }
    if (!render.sounding) return;
    if (mixCursor(sound, span, frames, render.playing, mix) < frames) {
        render.sounding = false;
        render.passEnded = true;
        // A pass faded out keeps its position, as a stop does; one played to
        // its end leaves the voice at the start, as DirectSound does.
        if (fadedToSilence(render.playing)) render.playing.fadingToStop = false;
        else render.playing.position = 0;
    }
}

MixedVoice::MixedVoice(Mixer& mixer, std::shared_ptr<SoundData> sound, const FrameSpan& span, bool isPart)
    : mixer(mixer), sound(std::move(sound)), span(span), isPart(isPart) {
    settings.frequency = this->sound->layout.rate;
    render.seen = settings;
    publish();
}

void MixedVoice::mixInto(uint32_t frames, uint32_t rampFrames, uint32_t outputRate, float* mix) {
    published.take(render.seen);  // a copy being written now is heard from the next mix
    applySettings(render.seen, rampFrames, outputRate, render);
    mixVoice(*sound, span, frames, render, mix);
    if (render.passEnded) endedPass.store(passOf(render.startsSeen, render.stopsSeen), std::memory_order_release);
}

void MixedVoice::takeEndedPass() {
    if (!settings.playing) return;
    if (endedPass.load(std::memory_order_acquire) != passOf(settings.starts, settings.stops)) return;
    settings.playing = false;
    settings.looping = false;
    settings.fadingToStop = false;
    publish();
}

SoundResult MixedVoice::Play(uint32_t, uint32_t, uint32_t flags) {
    takeEndedPass();
    if (slot < 0 && !mixer.startMixing(*this)) return DSERR_OUTOFMEMORY;
    // A Play during a fade-out starts afresh; the fading pass ramps out as a
    // stopped one does.
    if (!settings.playing || settings.fadingToStop) {
        settings.playing = true;
        settings.fadingToStop = false;
        ++settings.starts;
    }
    settings.looping = (flags & DSBPLAY_LOOPING) != 0;
    publish();
    mixer.voiceStarted();
    return DS_OK;
}

SoundResult MixedVoice::Stop() {
    takeEndedPass();
    if (settings.playing) {
        settings.playing = false;
        settings.looping = false;
        settings.fadingToStop = false;
        ++settings.stops;
        publish();
    }
    return DS_OK;
}

uint8_t* MixedVoice::playedBytes() const {
    return sound->bytes.get() + static_cast<size_t>(span.first) * sound->layout.blockAlign;
}

uint32_t MixedVoice::playedByteCount() const {
    return isPart ? span.count * sound->layout.blockAlign : sound->byteCount;
}

SoundResult MixedVoice::SetCurrentPosition(uint32_t position) {
    if (position >= playedByteCount()) return DSERR_INVALIDPARAM;
    ++settings.positionRequests;
    settings.position = position / sound->layout.blockAlign;
    publish();
    return DS_OK;
}

SoundResult MixedVoice::SetFrequency(uint32_t samplesPerSecond) {
    // 0 asks for the sound's own rate; other rates outside DirectSound's range
    // are refused, and the voice keeps the rate it had.
    if (samplesPerSecond == 0) samplesPerSecond = sound->layout.rate;
    if (samplesPerSecond < LowestRate || samplesPerSecond > HighestRate) return DSERR_INVALIDPARAM;
    settings.frequency = samplesPerSecond;
    publish();
    return DS_OK;
}

SoundResult MixedVoice::SetPan(int32_t newPan) {
    if (newPan < -FullPan || newPan > FullPan) return DSERR_INVALIDPARAM;
    pan = newPan;
    volumePanGains(volume, pan, settings.gains);
    publish();
    return DS_OK;
}

SoundResult MixedVoice::SetVolume(int32_t level) {
    if (level < SilentLevel || level > 0) return DSERR_INVALIDPARAM;
    volume = level;
    volumePanGains(volume, pan, settings.gains);
    publish();
    return DS_OK;
}

SoundResult MixedVoice::GetStatus(uint32_t* status) {
    takeEndedPass();
    *status = settings.playing ? DSBSTATUS_PLAYING | (settings.looping ? DSBSTATUS_LOOPING : 0) : 0;
    return DS_OK;
}

SoundResult MixedVoice::Restore() { return DS_OK; }  // nothing here is ever lost

SoundResult MixedVoice::Lock(uint32_t offset, uint32_t bytes, void** area, uint32_t* areaBytes, uint32_t flags) {
    const uint32_t byteCount = playedByteCount();
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = byteCount;
    }
    if (offset >= byteCount || bytes == 0 || bytes > byteCount) return DSERR_INVALIDPARAM;
    *area = playedBytes() + offset;
    *areaBytes = std::min(bytes, byteCount - offset);
    return DS_OK;
}

// The mixer reads the bytes where they are: nothing to hand back.
SoundResult MixedVoice::Unlock(void*, uint32_t) { return DS_OK; }

SoundResult MixedVoice::SetFades(uint32_t fadeInMilliseconds, uint32_t fadeOutMilliseconds) {
    settings.fadeInMilliseconds = fadeInMilliseconds;
    settings.fadeOutMilliseconds = fadeOutMilliseconds;
    publish();
    return DS_OK;
}

SoundResult MixedVoice::FadeOut() {
    takeEndedPass();
    if (!settings.playing || settings.fadeOutMilliseconds == 0) return Stop();
    if (settings.fadingToStop) return DS_OK;  // a second stop does not shorten the fade
    settings.fadingToStop = true;
    publish();
    return DS_OK;
}

SoundResult MixedVoice::Release() {
    mixer.release(this);
    return DS_OK;
}
