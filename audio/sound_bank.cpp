#include "audio/sound_bank.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "audio/audio_device.h"
#include "audio/voice.h"
#include "base/dialogs.h"
#include "base/joined_text.h"
#include "base/utf8_text.h"
#include "sound_files/decoded_sound.h"
#include "sound_files/decoding_thread.h"
#include "sound_files/wave_reader.h"

SoundBank soundBank;

namespace {

// A data chunk is trusted only when the file really holds its bytes and its
// buffer (one byte more) is one the device can make; anything else is refused
// before a buffer exists, so no size from the file decides an allocation.
bool dataSizeAcceptable(const WaveFile* file, const WaveChunkInfo& data) {
    return data.cksize <= waveBytesLeft(file) && data.cksize <= LargestDecodedBytes;
}

// A static bank buffer for that many sample bytes and one more; false (and
// no buffer) when the device refuses it.
bool createBankBuffer(const WaveFormatRecord* format, uint32_t dataBytes, Voice*& buffer) {
    SoundBufferDesc desc;
    desc.flags = BankBufferFlags;
    desc.bufferBytes = dataBytes + 1;
    desc.format = format;
    buffer = nullptr;
    return audioDevice->CreateSoundBuffer(desc, &buffer) == DS_OK && buffer;
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

// Results of sounds asked for before the buffers were last released carry
// another generation and are dropped.
uint16_t soundGeneration = 0;
std::vector<SoundFailure> soundFailures;

constexpr uint32_t OwnFileTicketBit = 0x8000;
constexpr int HighestTicketIndex = 0x7FFF;

uint32_t ticketOf(SoundRef sound) {
    return (static_cast<uint32_t>(soundGeneration) << 16) | (sound.ownFile ? OwnFileTicketBit : 0) |
           static_cast<uint32_t>(sound.index);
}

bool soundOfTicket(uint32_t ticket, SoundRef& sound) {
    if ((ticket >> 16) != soundGeneration) return false;
    sound.ownFile = (ticket & OwnFileTicketBit) != 0;
    sound.index = static_cast<int>(ticket & HighestTicketIndex);
    return isSoundKnown(sound);
}

Voice*& bufferEntry(SoundRef sound) {
    return sound.ownFile ? soundBank.ownFiles[static_cast<size_t>(sound.index - 1)].buffer
                         : soundBank.soundBuffers[static_cast<size_t>(sound.index)];
}

const std::string& soundPath(SoundRef sound) {
    return sound.ownFile ? soundBank.ownFiles[static_cast<size_t>(sound.index - 1)].path
                         : soundBank.soundPaths[static_cast<size_t>(sound.index)];
}

void setSoundState(SoundRef sound, SoundState state) {
    if (sound.ownFile) soundBank.ownFiles[static_cast<size_t>(sound.index - 1)].state = state;
    else if (static_cast<size_t>(sound.index) < soundBank.soundStates.size())
        soundBank.soundStates[static_cast<size_t>(sound.index)] = state;
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
    if (!createBankBuffer(format, data.cksize, entry)) {
        showLoadFailure(path);
        closeWaveFile(&file, &format);
        return false;
    }
    bool filled = fillBuffer(file, data, entry);
    closeWaveFile(&file, &format);
    return filled;
}

bool isSoundInBank(int soundIndex) {
    return soundIndex >= 0 && soundIndex < soundBank.soundCount &&
           static_cast<size_t>(soundIndex) < soundBank.soundBuffers.size();
}

bool isSoundKnown(SoundRef sound) {
    if (sound.ownFile) return sound.index >= 1 && static_cast<size_t>(sound.index) <= soundBank.ownFiles.size();
    return isSoundInBank(sound.index);
}

Voice* bankBuffer(SoundRef sound) { return isSoundKnown(sound) ? bufferEntry(sound) : nullptr; }

SoundState soundState(SoundRef sound) {
    if (!isSoundKnown(sound)) return SoundState::Failed;
    if (sound.ownFile) return soundBank.ownFiles[static_cast<size_t>(sound.index - 1)].state;
    size_t index = static_cast<size_t>(sound.index);
    if (index < soundBank.soundStates.size()) return soundBank.soundStates[index];
    return soundBank.soundBuffers[index] ? SoundState::Loaded : SoundState::Failed;
}

bool makeSoundBuffer(const DecodedSound& sound, Voice*& entry) {
    releaseVoice(entry);
    if (!audioDevice || sound.samples.empty() || sound.samples.size() > LargestDecodedBytes) return false;
    if (!createBankBuffer(&sound.format, static_cast<uint32_t>(sound.samples.size()), entry)) return false;
    void* area = nullptr;
    uint32_t areaBytes = 0;
    if (entry->Lock(0, 0, &area, &areaBytes, DSBLOCK_ENTIREBUFFER) != DS_OK || !area ||
        areaBytes < sound.samples.size()) {
        releaseVoice(entry);
        return false;
    }
    std::memcpy(area, sound.samples.data(), sound.samples.size());
    entry->Unlock(area, areaBytes);
    return true;
}

void releaseSoundBuffers() {
    for (Voice*& entry : soundBank.soundBuffers) releaseVoice(entry);
    for (SoundState& state : soundBank.soundStates) state = SoundState::Waiting;
    for (OwnFile& file : soundBank.ownFiles) {
        releaseVoice(file.buffer);
        file.state = SoundState::Waiting;
    }
    ++soundGeneration;
    forgetDecodingJobs();
}

int16_t ownFileNumber(const std::string& path) {
    for (size_t i = 0; i < soundBank.ownFiles.size(); ++i)
        if (sameTextIgnoringCase(soundBank.ownFiles[i].path.c_str(), path.c_str())) return static_cast<int16_t>(i + 1);
    if (soundBank.ownFiles.size() >= static_cast<size_t>(HighestTicketIndex)) return 0;
    OwnFile file;
    file.path = path;
    soundBank.ownFiles.push_back(file);
    return static_cast<int16_t>(soundBank.ownFiles.size());
}

void needSound(SoundRef sound) {
    if (!isSoundKnown(sound) || soundState(sound) != SoundState::Waiting || !audioDevice) return;
    setSoundState(sound, SoundState::Loading);
    askToDecode(ticketOf(sound), soundPath(sound));
}

void takeDecodedSounds(void (*loaded)(SoundRef sound)) {
    DecodedJob job;
    while (takeDecodedSound(job)) {
        SoundRef sound;
        if (!soundOfTicket(job.ticket, sound) || soundState(sound) != SoundState::Loading) continue;
        bool made = job.result == 0 && makeSoundBuffer(job.sound, bufferEntry(sound));
        setSoundState(sound, made ? SoundState::Loaded : SoundState::Failed);
        if (!made) soundFailures.push_back({soundPath(sound), job.result != 0 ? job.result : WaveErrorNoMemory});
        if (loaded) loaded(sound);
    }
}

bool isAnySoundLoading() {
    for (SoundState state : soundBank.soundStates)
        if (state == SoundState::Loading) return true;
    for (const OwnFile& file : soundBank.ownFiles)
        if (file.state == SoundState::Loading) return true;
    return false;
}

std::vector<SoundFailure> takeSoundFailures() {
    std::vector<SoundFailure> failures;
    failures.swap(soundFailures);
    return failures;
}
