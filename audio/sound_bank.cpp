#include "audio/sound_bank.h"

#include <cstdint>
#include <cstdio>

#include "audio/audio_device.h"
#include "audio/voice.h"
#include "base/dialogs.h"
#include "base/joined_text.h"
#include "sound_files/wave_reader.h"

SoundBank soundBank;

namespace {

// The largest buffer the device makes (DSBSIZE_MAX).
constexpr uint32_t MaxBufferBytes = 0x0FFFFFFF;

// A data chunk is trusted only when the file really holds its bytes and its
// buffer (one byte more) is one the device can make; anything else is refused
// before a buffer exists, so no size from the file decides an allocation.
bool dataSizeAcceptable(const WaveFile* file, const WaveChunkInfo& data) {
    return data.cksize <= waveBytesLeft(file) && data.cksize < MaxBufferBytes;
}

// Locks the whole new buffer and reads the sample bytes into it. A buffer
// that could not be filled is dropped, so no key ever plays half-read data.
bool fillBuffer(WaveFile* file, WaveChunkInfo& data, Voice*& entry) {
    void* area = nullptr;
    uint32_t areaBytes = 0;
    if (entry->Lock(0, 0, &area, &areaBytes, DSBLOCK_ENTIREBUFFER) != DS_OK || !area) {
        releaseVoice(entry);
        return false;
    }
    uint32_t copied = 0;
    WaveResult result = readWaveData(file, areaBytes, area, &data, &copied);
    entry->Unlock(area, areaBytes);
    if (result != 0) {
        releaseVoice(entry);
        return false;
    }
    return true;
}

void showLoadFailure(const char* path) {
    char text[ShownTextCapacity];
    joinText(text, sizeof text, {"Could not load sound:\n", path});
    showMessage(text);
}

}  // namespace

bool loadSound(const char* path, Voice*& entry) {
    if (!audioDevice) return false;
    WaveFile* file = nullptr;
    WaveFormatRecord* format = nullptr;
    WaveChunkInfo riff;
    if (openWaveFile(path, &file, &format, &riff) != 0) return false;
    WaveChunkInfo data;
    if (findDataChunk(file, &riff, &data) != 0 || !dataSizeAcceptable(file, data)) {
        closeWaveFile(&file, &format);
        return false;
    }
    if (entry) {
        entry->Stop();
        releaseVoice(entry);
    }
    SoundBufferDesc desc;
    desc.flags = BankBufferFlags;
    desc.bufferBytes = data.cksize + 1;
    desc.format = format;
    Voice* buffer = nullptr;
    if (audioDevice->CreateSoundBuffer(desc, &buffer) != DS_OK || !buffer) {
        showLoadFailure(path);
        closeWaveFile(&file, &format);
        return false;
    }
    entry = buffer;
    bool filled = fillBuffer(file, data, entry);
    closeWaveFile(&file, &format);
    return filled;
}

bool isSoundInBank(int soundIndex) {
    return soundIndex >= 0 && soundIndex < soundBank.soundCount &&
           static_cast<size_t>(soundIndex) < soundBank.soundBuffers.size();
}

void releaseSoundBuffers() {
    for (Voice*& entry : soundBank.soundBuffers) releaseVoice(entry);
}
