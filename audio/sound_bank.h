// One static buffer per sound-list entry, made by the audio device from the
// entry's WAV file.
#pragma once
#include <cstdint>
#include <vector>

class Voice;

struct SoundBank {
    int16_t soundCount = 0;
    std::vector<Voice*> soundBuffers;  // empty entry: the sound did not load
};

extern SoundBank soundBank;

// Whether a sound index names an entry of the bank, loaded or not.
bool isSoundInBank(int soundIndex);
// Loads one WAV file into a bank entry; true when the buffer was made and filled.
bool loadSound(const char* path, Voice*& entry);
// Releases every buffer of the bank; the entries stay, empty.
void releaseSoundBuffers();
