// The two outputs: DirectSound, with a buffer for every voice, and the
// low-latency WASAPI stream of low_latency_output_win32.cpp.
#include "audio/audio_output.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#include <memory>
#include <utility>

#include "audio/audio_device.h"
#include "audio/direct_sound_voice_win32.h"
#include "audio/low_latency_output.h"
#include "base/app_handles_win32.h"
#include "base/scoped_win32.h"
#include "sound_files/wave_format.h"

namespace {

class DirectSoundDevice : public AudioDevice {
public:
    explicit DirectSoundDevice(ScopedComPtr<IDirectSound> device) : device(std::move(device)) {}
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

    SoundResult DuplicateSoundBufferPart(Voice*, uint32_t, uint32_t, Voice**) override { return DSERR_INVALIDPARAM; }

    SoundResult DuplicateSoundBuffer(Voice* original, Voice** duplicate) override {
        IDirectSoundBuffer* copy = nullptr;
        HRESULT result = device->DuplicateSoundBuffer(static_cast<DirectSoundVoice*>(original)->buffer.get(), &copy);
        if (SUCCEEDED(result)) *duplicate = new DirectSoundVoice(copy);
        return result;
    }

    const ScopedComPtr<IDirectSound> device;
    // Kept, as the format set on it is, until the device is closed; declared
    // after the device, so released before it.
    ScopedComPtr<IDirectSoundBuffer> primary;
};

std::unique_ptr<DirectSoundDevice> openedDevice;

void setPrimaryFormat(DirectSoundDevice& opened) {
    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(opened.device->CreateSoundBuffer(&description, opened.primary.out(), nullptr))) {
        opened.primary.reset();
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

bool openDirectSoundDevice() {
    ScopedComPtr<IDirectSound> device;
    if (FAILED(DirectSoundCreate(nullptr, device.out(), nullptr))) return false;
    if (FAILED(device->SetCooperativeLevel(mainWindow, DSSCL_PRIORITY))) return false;
    openedDevice = std::make_unique<DirectSoundDevice>(std::move(device));
    setPrimaryFormat(*openedDevice);
    audioDevice = openedDevice.get();
    return true;
}

}  // namespace

bool openAudioOutput(AudioOutput output, const std::string& endpointId) {
    closeAudioOutput();
    return output == AudioOutput::LowLatency ? openWasapiOutput(endpointId) : openDirectSoundDevice();
}

void closeAudioOutput() {
    audioDevice = nullptr;
    closeWasapiOutput();
    openedDevice.reset();  // releases the primary buffer, then the device
}
