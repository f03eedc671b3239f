// A DirectSound buffer as the program's Voice: bank buffers and key voices.
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
    SoundResult SetVolume(int32_t level) override;
    SoundResult GetStatus(uint32_t* status) override;
    SoundResult Restore() override;
    SoundResult Lock(uint32_t offset, uint32_t bytes, void** area, uint32_t* areaBytes, uint32_t flags) override;
    SoundResult Unlock(void* area, uint32_t areaBytes) override;
    // Releases the DirectSound buffer and deletes this wrapper.
    SoundResult Release() override;
    SoundResult SetFades(uint32_t fadeInMilliseconds, uint32_t fadeOutMilliseconds) override;
    SoundResult FadeOut() override;

    const ScopedComPtr<IDirectSoundBuffer> buffer;

private:
    ~DirectSoundVoice() override = default;
};
