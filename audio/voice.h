// A playable sound buffer: a sound-bank buffer or a key's duplicate of one.
// Mirrors the DirectSound buffer methods the program uses, with the same
// names, argument meanings and result codes, so the key logic can be tested
// against a recording fake.
#pragma once
#include <cstdint>

using SoundResult = int32_t;

// The DirectSound values; dsound.h defines the same names as macros.
#ifndef DS_OK
constexpr SoundResult DS_OK = 0;
#endif
#ifndef DSERR_BUFFERLOST
constexpr SoundResult DSERR_BUFFERLOST = static_cast<SoundResult>(0x88780096u);
#endif
#ifndef DSERR_INVALIDPARAM
constexpr SoundResult DSERR_INVALIDPARAM = static_cast<SoundResult>(0x80070057u);
#endif
#ifndef DSERR_BADFORMAT
constexpr SoundResult DSERR_BADFORMAT = static_cast<SoundResult>(0x88780064u);
#endif
#ifndef DSERR_OUTOFMEMORY
constexpr SoundResult DSERR_OUTOFMEMORY = static_cast<SoundResult>(0x8007000Eu);
#endif
#ifndef DSBSTATUS_PLAYING
constexpr uint32_t DSBSTATUS_PLAYING = 0x00000001;
#endif
#ifndef DSBSTATUS_LOOPING
constexpr uint32_t DSBSTATUS_LOOPING = 0x00000004;
#endif
#ifndef DSBPLAY_LOOPING
constexpr uint32_t DSBPLAY_LOOPING = 0x00000001;
#endif
#ifndef DSBLOCK_ENTIREBUFFER
constexpr uint32_t DSBLOCK_ENTIREBUFFER = 0x00000002;
#endif

class Voice {
public:
    virtual SoundResult Play(uint32_t reserved1, uint32_t priority, uint32_t flags) = 0;
    virtual SoundResult Stop() = 0;
    virtual SoundResult SetCurrentPosition(uint32_t position) = 0;
    virtual SoundResult SetFrequency(uint32_t samplesPerSecond) = 0;
    virtual SoundResult SetPan(int32_t pan) = 0;
    virtual SoundResult SetVolume(int32_t level) = 0;
    virtual SoundResult GetStatus(uint32_t* status) = 0;
    virtual SoundResult Restore() = 0;
    // One area covering the buffer when flags hold DSBLOCK_ENTIREBUFFER.
    virtual SoundResult Lock(uint32_t offset, uint32_t bytes, void** area, uint32_t* areaBytes, uint32_t flags) = 0;
    virtual SoundResult Unlock(void* area, uint32_t areaBytes) = 0;
    // Gives up this reference; the object must not be used afterwards.
    virtual SoundResult Release() = 0;

    // The program's own, beyond DirectSound's buffer: an envelope over the
    // level, linear in amplitude, that volume and pan act through. Every
    // start from now on rises from silence over fadeIn; FadeOut falls to
    // silence over fadeOut. 0: at once, as DirectSound starts and stops.
    virtual SoundResult SetFades(uint32_t fadeInMilliseconds, uint32_t fadeOutMilliseconds) = 0;
    // Stops over the fade-out: GetStatus reports the voice playing until the
    // fade has ended. A fade under way goes on as it is; without a fade-out,
    // or while not playing, it is Stop.
    virtual SoundResult FadeOut() = 0;

protected:
    virtual ~Voice() = default;
};

// The one way a voice or bank buffer is given up: released once, and the
// holder's pointer emptied so that nothing can use it afterwards.
inline void releaseVoice(Voice*& voice) {
    if (!voice) return;
    voice->Release();
    voice = nullptr;
}
