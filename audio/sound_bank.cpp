#include "audio/sound_bank.h"

#include <cstdint>
#include <cstdio>

#include "app/dialogs.h"
#include "app/joined_text.h"
#include "audio/audio_device.h"
#include "audio/wave_reader.h"
#include "keys/key_bank.h"
#include "library/sound_directory.h"
#include "library/sound_list.h"
#include "panel/panel_redraw.h"

SoundBank soundBank;

namespace {

constexpr int SoundPathCapacity = 340;  // directory, backslash, name and terminator
// The largest buffer the device makes (DSBSIZE_MAX).
constexpr uint32_t MaxBufferBytes = 0x0FFFFFFF;

// A data chunk is trusted only when the file really holds its bytes and its
// buffer (one byte more) is one the device can make; anything else is refused
// before a buffer exists, so no size from the file decides an allocation.
bool dataSizeAcceptable(const WaveFile* file, const WaveChunkInfo& data) {
    return data.cksize <= waveBytesLeft(file) && data.cksize < MaxBufferBytes;
}

void dropBuffer(Voice*& entry) {
    entry->Release();
    entry = nullptr;
}

// Locks the whole new buffer and reads the sample bytes into it. A buffer
// that could not be filled is dropped, so no key ever plays half-read data.
bool fillBuffer(WaveFile* file, WaveChunkInfo& data, Voice*& entry) {
    void* area = nullptr;
    uint32_t areaBytes = 0;
    if (entry->Lock(0, 0, &area, &areaBytes, DSBLOCK_ENTIREBUFFER) != DS_OK || !area) {
        dropBuffer(entry);
        return false;
    }
    uint32_t copied = 0;
    WaveResult result = readWaveData(file, areaBytes, area, &data, &copied);
    entry->Unlock(area, areaBytes);
    if (result != 0) {
        dropBuffer(entry);
        return false;
    }
    return true;
}

void showLoadFailure(const char* path) {
    char text[ShownTextCapacity];
    joinText(text, sizeof text, {"Could not load sound:\n", path});
    showMessage(text);
}

void releaseVoice(KeySlot& slot) {
    if (!slot.voice) return;
    slot.voice->Release();
    slot.voice = nullptr;
}

// The result is ignored: a failed duplicate leaves the key without a voice.
void giveVoice(KeySlot& slot, Voice* bankBuffer) {
    if (!bankBuffer || !audioDevice) return;
    Voice* duplicate = nullptr;
    if (audioDevice->DuplicateSoundBuffer(bankBuffer, &duplicate) == DS_OK) slot.voice = duplicate;
}

bool soundLoaded(int16_t soundIndex) {
    return soundIndex >= 0 && soundIndex < soundBank.soundCount &&
           static_cast<size_t>(soundIndex) < soundBank.soundBuffers.size();
}

void loadListEntry(int index) {
    Voice*& entry = soundBank.soundBuffers[index];
    entry = nullptr;
    char name[PathCapacity] = "";
    if (!soundListText(index, name)) return;
    // A path that does not fit is skipped rather than cut: a cut path could
    // name another file.
    char path[SoundPathCapacity];
    int length = std::snprintf(path, sizeof path, "%s\\%s", soundDirectory, name);
    if (length < 0 || length >= SoundPathCapacity) return;
    loadSound(path, entry);
}

}  // namespace

void loadSoundBank() {
    int count = soundListCount();
    if (count < 0) count = 0;
    if (count > INT16_MAX) count = INT16_MAX;  // the count is a 16-bit number
    soundBank.soundCount = static_cast<int16_t>(count);
    soundBank.soundBuffers.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) loadListEntry(i);
    for (KeySlot& slot : keyBank.slots) {
        if (!soundLoaded(slot.soundIndex)) continue;
        releaseVoice(slot);  // none after releaseAllSounds; never leak one
        giveVoice(slot, soundBank.soundBuffers[static_cast<size_t>(slot.soundIndex)]);
    }
}

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
        dropBuffer(entry);
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

void releaseAllSounds() {
    for (Voice*& entry : soundBank.soundBuffers)
        if (entry) dropBuffer(entry);
    for (KeySlot& slot : keyBank.slots) releaseVoice(slot);
}

void assignSoundToSelectedKey(int soundIndex) {
    // Negative: no list selection. Past 16 bits the key could not hold it.
    if (soundIndex < 0 || soundIndex > INT16_MAX) return;
    int key = keyBank.selectedKey;
    if (key < 0 || key >= KeyCount) return;
    KeySlot& slot = keyBank.slots[key];
    slot.soundIndex = static_cast<int16_t>(soundIndex);
    if (!soundLoaded(slot.soundIndex)) return;
    setIdleTriggerMode(slot);
    redrawKeyCap(key);
    releaseVoice(slot);
    giveVoice(slot, soundBank.soundBuffers[static_cast<size_t>(soundIndex)]);
}
