// The two outputs: DirectSound, with a buffer for every voice, and the
// low-latency WASAPI stream of low_latency_output_win32.cpp.
#include "audio/audio_output.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "audio/audio_device.h"
#include "audio/direct_sound_voice_win32.h"
#include "audio/low_latency_output.h"
#include "audio/sound_part.h"
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

    SoundResult DuplicateSoundBufferPart(Voice* original, uint32_t startMilliseconds, uint32_t endMilliseconds,
                                         Voice** duplicate) override;

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

// The original's format record, extra bytes and all; empty when it cannot be had.
std::vector<uint8_t> formatOf(IDirectSoundBuffer* original) {
    DWORD size = 0;
    if (FAILED(original->GetFormat(nullptr, 0, &size)) || size < sizeof(WaveFormatRecord)) return {};
    std::vector<uint8_t> format(size);
    if (FAILED(original->GetFormat(reinterpret_cast<WAVEFORMATEX*>(format.data()), size, nullptr))) return {};
    return format;
}

// Fills the whole of the part's buffer with the bytes of the original from
// `first` on: once, or over again when the part is shorter than a buffer can be.
HRESULT copyPart(IDirectSoundBuffer* original, DWORD first, DWORD partBytes, Voice& part) {
    void* from = nullptr;
    void* fromWrapped = nullptr;
    DWORD fromBytes = 0;
    DWORD fromWrappedBytes = 0;
    HRESULT result = original->Lock(first, partBytes, &from, &fromBytes, &fromWrapped, &fromWrappedBytes, 0);
    if (FAILED(result)) return result;
    void* to = nullptr;
    uint32_t toBytes = 0;
    result = part.Lock(0, 0, &to, &toBytes, DSBLOCK_ENTIREBUFFER);
    if (SUCCEEDED(result) && fromBytes == partBytes) {
        for (DWORD at = 0; at + partBytes <= toBytes; at += partBytes)
            std::memcpy(static_cast<uint8_t*>(to) + at, from, partBytes);
    } else if (SUCCEEDED(result)) {
        result = DSERR_INVALIDPARAM;  // not the one area of a static buffer
    }
    if (to) part.Unlock(to, toBytes);
    original->Unlock(from, fromBytes, fromWrapped, fromWrappedBytes);
    return result;
}

// A new buffer of the part's bytes, the bank's flags and the original's
// format. The original is a bank buffer: it holds one byte past its last
// whole frame, and plays at its format's rate, full volume and the centre, as
// the new buffer starts.
SoundResult DirectSoundDevice::DuplicateSoundBufferPart(Voice* original, uint32_t startMilliseconds,
                                                        uint32_t endMilliseconds, Voice** duplicate) {
    IDirectSoundBuffer* source = static_cast<DirectSoundVoice*>(original)->buffer.get();
    std::vector<uint8_t> format = formatOf(source);
    DSBCAPS caps = {};
    caps.dwSize = sizeof caps;
    if (format.empty() || FAILED(source->GetCaps(&caps))) return DSERR_INVALIDPARAM;
    const auto& record = *reinterpret_cast<const WaveFormatRecord*>(format.data());
    if (record.blockAlign == 0 || caps.dwBufferBytes == 0) return DSERR_INVALIDPARAM;
    uint32_t first = 0;
    uint32_t count = 0;
    if (!soundPartFrames(record.samplesPerSec, (caps.dwBufferBytes - 1) / record.blockAlign, startMilliseconds,
                         endMilliseconds, first, count))
        return DSERR_INVALIDPARAM;
    // Within the original, so never over DSBSIZE_MAX; a part under DSBSIZE_MIN
    // is repeated whole, so that its loop stays the part's.
    const DWORD partBytes = count * record.blockAlign;
    SoundBufferDesc desc;
    desc.flags = BankBufferFlags;
    desc.bufferBytes = partBytes * ((DSBSIZE_MIN + partBytes - 1) / partBytes);
    desc.format = &record;
    Voice* part = nullptr;
    SoundResult result = CreateSoundBuffer(desc, &part);
    if (FAILED(result)) return result;
    result = copyPart(source, first * record.blockAlign, partBytes, *part);
    if (FAILED(result)) {
        releaseVoice(part);
        return result;
    }
    *duplicate = part;
    return DS_OK;
}

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
