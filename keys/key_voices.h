// The keys' voices: each key plays its own duplicate of its sound's bank
// buffer, so that any number of keys can sound one sound at once. A key's
// sound is its own file when it has one, else its list entry; a sound still
// being decoded gives the key no voice until it is loaded.
#pragma once
#include <string>

#include "audio/sound_bank.h"

struct KeySettings;

SoundRef soundOfKey(const KeySettings& key);
// While true the key's cap shows that its sound is loading, and a press of
// it is ignored (it has no voice).
bool isKeySoundLoading(const KeySettings& key);
// Right after the sound bank is loaded: a fresh voice for every key of every
// bank whose sound is loaded (none for one that failed); a sound no key had
// needed yet is asked for.
void giveKeysVoices();
// The same for the keys of every bank that play a file of their own alone:
// a setup opened without its folder.
void giveOwnFilesVoices();
// Every bank buffer, then every key's voice, in every bank.
void releaseAllSounds();
// Gives the selected key the list entry and a fresh voice of it; a negative
// index does nothing, one past the bank changes only the key's sound index.
void assignSoundToSelectedKey(int soundIndex);
// The one way a key of the shown bank gets the sound its settings name
// (Undo, Paste, the list, a file of its own, new points): a latched toggle
// ends, the old voice goes and a fresh one of the sound comes, at once when
// it is loaded, else once it is; the cap shows the sound, or that it is
// loading. A sound past the bank leaves the key as it was.
void giveKeyItsSound(int key);
void giveSelectedKeyItsSound();
// Gives key k of the shown bank a file of its own (a full path) and its voice.
void giveKeyOwnFile(int key, const std::string& path);
// Takes the selected key's sound away, list entry or file: it stays silent.
void clearSelectedKeySound();
// A sound finished loading (or failing): every key of every bank that names
// it gets its voice, and the shown bank's caps show it.
void giveVoicesOfSound(SoundRef sound);
