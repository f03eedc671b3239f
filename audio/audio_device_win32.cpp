#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "app/app_win32.h"
#include "audio/audio_device.h"
#include "audio/audio_device_win32.h"
#include "audio/direct_sound_voice_win32.h"
#include "audio/wave_format.h"

namespace {

class DirectSoundDevice : public AudioDevice {
public:
    explicit DirectSoundDevice(IDirectSound* device) : device(device) {}
    ~DirectSoundDevice() override = default;

    SoundResult CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) override {
        DSBUFFERDESC description = {};
        description.dwSize = sizeof description;
        description.dwFlags = desc.flags;
        description.dwBufferBytes = desc.bufferBytes;
        // The record is laid out as WAVEFORMATEX, extra bytes and all.
        description.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(const_cast<WaveFormatRecord*>(desc.format));
        IDirectSoundBuffer* made = nullptr;
        HRESULT result = device->CreateSoundBuffer(&description, &made, nullptr);
        if (SUCCEEDED(result)) *buffer = new DirectSoundVoice(made);
        return result;
    }

    SoundResult DuplicateSoundBuffer(Voice* original, Voice** duplicate) override {
        IDirectSoundBuffer* copy = nullptr;
        HRESULT result = device->DuplicateSoundBuffer(static_cast<DirectSoundVoice*>(original)->buffer, &copy);
        if (SUCCEEDED(result)) *duplicate = new DirectSoundVoice(copy);
        return result;
    }

    IDirectSound* const device;
    // Kept, as the format set on it is, until the device is closed.
    IDirectSoundBuffer* primary = nullptr;
};

DirectSoundDevice* openedDevice = nullptr;

void setPrimaryFormat(DirectSoundDevice& opened) {
    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(opened.device->CreateSoundBuffer(&description, &opened.primary, nullptr))) {
        opened.primary = nullptr;
        return;
    }
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.wBitsPerSample / 8 * format.nChannels);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    opened.primary->SetFormat(&format);
}

}  // namespace

bool openAudioDevice() {
    if (openedDevice) return true;
    IDirectSound* device = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr))) return false;
    if (FAILED(device->SetCooperativeLevel(mainWindow, DSSCL_PRIORITY))) {
        device->Release();
        return false;
    }
    openedDevice = new DirectSoundDevice(device);
    setPrimaryFormat(*openedDevice);
    audioDevice = openedDevice;
    return true;
}

void closeAudioDevice() {
    if (!openedDevice) return;
    audioDevice = nullptr;
    if (openedDevice->primary) openedDevice->primary->Release();
    openedDevice->device->Release();
    delete openedDevice;
    openedDevice = nullptr;
}
