// A DirectSound buffer as the program's Voice: bank buffers and key voices.
// DirectSound has no fades, so the voice steps its buffer's volume along the
// envelope itself, every 10 ms or so from a thread timer of its own, which the
// main loop's DispatchMessage runs on the program's thread.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "audio/voice.h"
#include "base/scoped_win32.h"

class DirectSoundVoice : public Voice {
public:
    // Takes over the reference to the buffer.
    explicit DirectSoundVoice(IDirectSoundBuffer* buffer) : buffer(buffer) {}

    SoundResult Play(uint32_t reserved1, uint32_t priority, uint32_t flags) override;
    SoundResult Stop() override;
    SoundResult SetCurrentPosition(uint32_t position) override;
    SoundResult SetFrequency(uint32_t samplesPerSecond) override;
    SoundResult SetPan(int32_t pan) override;
    // The buffer's volume is this level with the envelope on it.
    SoundResult SetVolume(int32_t level) override;
    SoundResult GetStatus(uint32_t* status) override;
    SoundResult Restore() override;
    SoundResult Lock(uint32_t offset, uint32_t bytes, void** area, uint32_t* areaBytes, uint32_t flags) override;
    SoundResult Unlock(void* area, uint32_t areaBytes) override;
    // Releases the DirectSound buffer and deletes this wrapper.
    SoundResult Release() override;
    SoundResult SetFades(uint32_t fadeInMilliseconds, uint32_t fadeOutMilliseconds) override;
    // The buffer plays on, and GetStatus says so, until the timer has brought
    // the envelope down to silence and stopped it.
    SoundResult FadeOut() override;

    const ScopedComPtr<IDirectSoundBuffer> buffer;

private:
    ~DirectSoundVoice() override;
    bool isPlaying();
    float envelopeAt(DWORD elapsed) const;
    HRESULT writeVolume(DWORD elapsed);
    bool moveEnvelope(float target, uint32_t milliseconds);
    void holdEnvelope(float at);
    void stepFade();
    static void CALLBACK stepFadeOf(HWND, UINT, UINT_PTR timer, DWORD);

    int32_t level = 0;  // as SetVolume set it, in hundredths of a decibel
    uint32_t fadeInMilliseconds = 0;
    uint32_t fadeOutMilliseconds = 0;
    // The envelope, linear in amplitude: from `from` at the tick count
    // fadeStart to `to` fadeMilliseconds later.
    float from = 1.0f;
    float to = 1.0f;
    DWORD fadeStart = 0;
    DWORD fadeMilliseconds = 0;
    bool fadingToStop = false;  // the buffer stops once the envelope reaches silence
    UINT_PTR fadeTimer = 0;     // while the envelope moves
};
