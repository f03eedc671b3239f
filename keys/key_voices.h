// The keys' voices: each key plays its own duplicate of its sound's bank
// buffer, so that any number of keys can sound one sound at once.
#pragma once

// Right after the sound bank is loaded: a fresh voice for every key of every
// bank whose sound index names an entry of the bank (none for an entry that
// failed).
void giveKeysVoices();
// Every bank buffer, then every key's voice, in every bank.
void releaseAllSounds();
// Gives the selected key the sound and a fresh voice of it; a negative index
// does nothing, one past the bank changes only the key's sound index.
void assignSoundToSelectedKey(int soundIndex);
