// A key's volume as its voice is told it: the key's own volume scaled by the
// master volume and by the velocity of the key's last start.
#pragma once

// The level for that volume, less the key's press attenuation, never below
// silence. Above 0 (a volume past 400 from a setup file) the device would
// refuse it.
int keyLevel(int key, int volume);
// Writes the level of that volume to the key's voice; nothing when the key
// has no voice.
void setVoiceVolume(int key, int volume);
void applyKeyVolume(int key);
// Every unmuted key's voice takes its level again.
void applyMasterVolume();
