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
    // The program's own: a duplicate that plays only the part of the sound
    // between the points (audio/sound_part.h), its loops looping between them
    // and a pass played once ending at the end point. DSERR_INVALIDPARAM when
    // the part holds no frame.
    virtual SoundResult DuplicateSoundBufferPart(Voice* original, uint32_t startMilliseconds, uint32_t endMilliseconds,
                                                 Voice** duplicate) = 0;

protected:
    virtual ~AudioDevice() = default;
};

// Empty while no device could be opened; then nothing ever touches it.
extern AudioDevice* audioDevice;
