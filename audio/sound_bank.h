// One static buffer per sound-list entry, and the keys' voices made from them.
#pragma once
#include <cstdint>
#include <vector>

class Voice;

struct SoundBank {
    int16_t soundCount = 0;
    std::vector<Voice*> soundBuffers;  // empty entry: the sound did not load
};

extern SoundBank soundBank;

// Right after releaseAllSounds: one buffer per list entry, then a voice for
// every key whose sound index names a loaded sound.
void loadSoundBank();
// Loads one WAV file into a bank entry; true when the buffer was made and filled.
bool loadSound(const char* path, Voice*& entry);
void releaseAllSounds();
// Gives the selected key the sound and a fresh voice of it; a negative index
// does nothing, one past the bank changes only the key's sound index.
void assignSoundToSelectedKey(int soundIndex);
