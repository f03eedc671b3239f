// The sounds keys play: one static buffer per sound-list entry, and one per
// file a key was given of its own. WAV files of the list are loaded with the
// list; every other sound is decoded in the background (the decoding
// thread) when a key first needs it, and only then takes memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class Voice;
struct DecodedSound;

enum class SoundState : uint8_t {
    Waiting,  // not asked for: no key has needed it yet
    Loading,  // on the decoding thread
    Loaded,   // its buffer is made
    Failed,   // it could not be read or decoded: keys given it stay silent
};

// A key's own sound file, from any folder.
struct OwnFile {
    std::string path;  // full, as the program opens it
    Voice* buffer = nullptr;
    SoundState state = SoundState::Waiting;
};

struct SoundBank {
    int16_t soundCount = 0;
    std::vector<Voice*> soundBuffers;  // empty entry: the sound did not load, or is not loaded yet
    // Of each list entry, beside its buffer: where it comes from and how far
    // it is. An entry past these two is a WAV entry, loaded or failed as its
    // buffer says.
    std::vector<std::string> soundPaths;
    std::vector<SoundState> soundStates;
    // A key's own file n (1 ...) is ownFiles[n - 1]; entries are never taken
    // away during a run, so Undo and the clipboard may keep naming them.
    std::vector<OwnFile> ownFiles;
};

extern SoundBank soundBank;

// Which sound: a list entry (0 ...) or an own file (1 ...), as keys name them.
struct SoundRef {
    bool ownFile = false;
    int index = -1;
};

// A sound that failed to load or decode, kept until the user is told.
struct SoundFailure {
    std::string path;
    uint32_t result;  // the reader's or decoder's code (a WaveResult)
};

// Whether a sound index names an entry of the bank, loaded or not.
bool isSoundInBank(int soundIndex);
// Whether the reference names a list entry or an own file that exists.
bool isSoundKnown(SoundRef sound);
Voice* bankBuffer(SoundRef sound);
SoundState soundState(SoundRef sound);
// Loads one WAV file into a bank entry; true when the buffer was made and filled.
bool loadSound(const char* path, Voice*& entry);
// Makes a bank buffer of a decoded sound; false (entry empty) when the device
// refuses it.
bool makeSoundBuffer(const DecodedSound& sound, Voice*& entry);
// Releases every buffer of the bank; the entries stay, empty, and every sound
// decoded in the background waits to be asked for again.
void releaseSoundBuffers();

// The own file of that path (compared without regard to case), added when
// new; its number from 1, or 0 when no more fit.
int16_t ownFileNumber(const std::string& path);
// Asks the decoding thread for a waiting sound; nothing for any other.
void needSound(SoundRef sound);
// Takes every finished decoding: the sound's buffer is made, or it failed
// and is kept for the next report; loaded(sound) is called for each.
// Results of sounds asked for before the last releaseSoundBuffers are dropped.
void takeDecodedSounds(void (*loaded)(SoundRef sound));
// Whether a sound is on the decoding thread now.
bool isAnySoundLoading();
// The failures since the last call, oldest first; the list is emptied.
std::vector<SoundFailure> takeSoundFailures();
