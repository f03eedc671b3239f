// A key's volume as its voice is told it: the key's own volume scaled by the
// master volume.
#pragma once

// Writes the level of that volume to the key's voice; nothing when the key
// has no voice.
void setVoiceVolume(int key, int volume);
void applyKeyVolume(int key);
// Every unmuted key's voice takes its level again.
void applyMasterVolume();
