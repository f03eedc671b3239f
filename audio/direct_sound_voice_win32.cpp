#include "audio/direct_sound_voice_win32.h"

SoundResult DirectSoundVoice::Play(uint32_t reserved1, uint32_t priority, uint32_t flags) {
    return buffer->Play(reserved1, priority, flags);
}

SoundResult DirectSoundVoice::Stop() { return buffer->Stop(); }

SoundResult DirectSoundVoice::SetCurrentPosition(uint32_t position) { return buffer->SetCurrentPosition(position); }

SoundResult DirectSoundVoice::SetFrequency(uint32_t samplesPerSecond) { return buffer->SetFrequency(samplesPerSecond); }

SoundResult DirectSoundVoice::SetPan(int32_t pan) { return buffer->SetPan(pan); }

SoundResult DirectSoundVoice::SetVolume(int32_t level) { return buffer->SetVolume(level); }

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

SoundResult DirectSoundVoice::SetFades(uint32_t, uint32_t) { return DS_OK; }

SoundResult DirectSoundVoice::FadeOut() { return Stop(); }

SoundResult DirectSoundVoice::Release() {
    delete this;  // the buffer's holder releases it
    return DS_OK;
}
