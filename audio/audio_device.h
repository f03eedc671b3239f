// The one audio device, which makes sound-bank buffers and their duplicates,
// and the choice of the output it plays through.
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

// Opens the output the user chose last, the low-latency one unless DirectSound
// was chosen, and the other one, without a word, when that cannot be had. The
// Low-Latency Output menu item shows which one plays. False when neither opens.
bool openAudioDevice();
// The Low-Latency Output command: every sound stops, the other output opens
// and the loaded sounds are loaded into it again; the keys, the sound list and
// the modified flag stay as they are. The choice is remembered.
void switchAudioOutput();
