#include "audio/direct_sound_voice_win32.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr UINT FadeStepMilliseconds = 10;

// The voices whose envelope moves: a timer's call finds its voice here, and
// one that comes after its voice is gone finds none.
std::vector<DirectSoundVoice*> fadingVoices;

// A level with the envelope on it: the envelope is an amplitude, 20 dB a decade.
LONG volumeWithEnvelope(int32_t level, float envelope) {
    if (envelope <= 0.0f) return DSBVOLUME_MIN;
    double volume = level + 2000.0 * std::log10(std::min(envelope, 1.0f));
    return volume <= DSBVOLUME_MIN ? DSBVOLUME_MIN : static_cast<LONG>(std::lround(volume));
}

}  // namespace

DirectSoundVoice::~DirectSoundVoice() { holdEnvelope(1.0f); }

bool DirectSoundVoice::isPlaying() {
    DWORD status = 0;
    return SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) != 0;
}

float DirectSoundVoice::envelopeAt(DWORD elapsed) const {
    if (elapsed >= fadeMilliseconds) return to;
    return from + (to - from) * (static_cast<float>(elapsed) / static_cast<float>(fadeMilliseconds));
}

HRESULT DirectSoundVoice::writeVolume(DWORD elapsed) {
    return buffer->SetVolume(volumeWithEnvelope(level, envelopeAt(elapsed)));
}

// From where the envelope is now to the target, stepped by the timer. False,
// the envelope held where it was, when no timer could be had.
bool DirectSoundVoice::moveEnvelope(float target, uint32_t milliseconds) {
    DWORD now = GetTickCount();
    if (!fadeTimer) {
        fadeTimer = SetTimer(nullptr, 0, FadeStepMilliseconds, stepFadeOf);
        if (!fadeTimer) return false;
        fadingVoices.push_back(this);
    }
    from = envelopeAt(now - fadeStart);
    to = target;
    fadeStart = now;
    fadeMilliseconds = milliseconds;
    return true;
}

void DirectSoundVoice::holdEnvelope(float at) {
    from = to = at;
    fadeMilliseconds = 0;
    fadingToStop = false;
    if (!fadeTimer) return;
    KillTimer(nullptr, fadeTimer);
    fadeTimer = 0;
    fadingVoices.erase(std::find(fadingVoices.begin(), fadingVoices.end(), this));
}

void DirectSoundVoice::stepFade() {
    DWORD elapsed = GetTickCount() - fadeStart;
    writeVolume(elapsed);
    if (elapsed < fadeMilliseconds) return;
    if (fadingToStop) Stop();
    else holdEnvelope(to);
}

void CALLBACK DirectSoundVoice::stepFadeOf(HWND, UINT, UINT_PTR timer, DWORD) {
    for (DirectSoundVoice* voice : fadingVoices) {
        if (voice->fadeTimer != timer) continue;
        voice->stepFade();
        return;
    }
}

// A start (a Play during a fade-out too) rises over the fade-in, or is heard
// at once at its level.
SoundResult DirectSoundVoice::Play(uint32_t reserved1, uint32_t priority, uint32_t flags) {
    if (fadingToStop || !isPlaying()) {
        holdEnvelope(0.0f);
        if (fadeInMilliseconds == 0 || !moveEnvelope(1.0f, fadeInMilliseconds)) holdEnvelope(1.0f);
        writeVolume(0);
    }
    return buffer->Play(reserved1, priority, flags);
}

SoundResult DirectSoundVoice::Stop() {
    holdEnvelope(1.0f);
    return buffer->Stop();
}

SoundResult DirectSoundVoice::FadeOut() {
    if (fadeOutMilliseconds == 0 || !isPlaying()) return Stop();
    if (fadingToStop) return DS_OK;  // a second stop does not shorten the fade
    if (!moveEnvelope(0.0f, fadeOutMilliseconds)) return Stop();
    fadingToStop = true;
    return DS_OK;
}

SoundResult DirectSoundVoice::SetFades(uint32_t fadeIn, uint32_t fadeOut) {
    fadeInMilliseconds = fadeIn;
    fadeOutMilliseconds = fadeOut;
    return DS_OK;
}

SoundResult DirectSoundVoice::SetCurrentPosition(uint32_t position) { return buffer->SetCurrentPosition(position); }

SoundResult DirectSoundVoice::SetFrequency(uint32_t samplesPerSecond) { return buffer->SetFrequency(samplesPerSecond); }

SoundResult DirectSoundVoice::SetPan(int32_t pan) { return buffer->SetPan(pan); }

SoundResult DirectSoundVoice::SetVolume(int32_t newLevel) {
    if (newLevel < DSBVOLUME_MIN || newLevel > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    level = newLevel;
    return writeVolume(GetTickCount() - fadeStart);
}

SoundResult DirectSoundVoice::GetStatus(uint32_t* status) {
    DWORD value = 0;
    HRESULT result = buffer->GetStatus(&value);
    *status = value;
    return result;
}

SoundResult DirectSoundVoice::Restore() { return buffer->Restore(); }

SoundResult DirectSoundVoice::Lock(uint32_t offset, uint32_t bytes, void** area, uint32_t* areaBytes, uint32_t flags) {
    // The whole-buffer lock of a static buffer comes as one area; the second
    // is asked for only because some implementations insist on the pointers.
    void* secondArea = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    HRESULT result = buffer->Lock(offset, bytes, area, &firstBytes, &secondArea, &secondBytes, flags);
    *areaBytes = firstBytes;
    return result;
}

SoundResult DirectSoundVoice::Unlock(void* area, uint32_t areaBytes) {
    return buffer->Unlock(area, areaBytes, nullptr, 0);
}

SoundResult DirectSoundVoice::Release() {
    delete this;  // the buffer's holder releases it
    return DS_OK;
}
