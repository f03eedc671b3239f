// The one audio device, which makes sound-bank buffers and their duplicates.
#pragma once
#include <cstdint>

#include "audio/voice.h"

struct WaveFormatRecord;

// Bank buffers: static, with frequency, pan and volume control, heard when
// another program has the focus (DSBCAPS_STATIC | CTRLFREQUENCY | CTRLPAN |
// CTRLVOLUME | GLOBALFOCUS).
constexpr uint32_t BankBufferFlags = 0x80E2;

struct SoundBufferDesc {
    uint32_t flags = 0;
    uint32_t bufferBytes = 0;
    const WaveFormatRecord* format = nullptr;
};

class AudioDevice {
public:
    virtual SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) = 0;
    virtual SoundResult DuplicateSoundBuffer(Voice* original, Voice** duplicate) = 0;

protected:
    virtual ~AudioDevice() = default;
};

// Empty while no device could be opened; then nothing ever touches it.
extern AudioDevice* audioDevice;
