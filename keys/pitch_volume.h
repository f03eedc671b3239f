// Turning a key's note, fine tune, volume and pan and the master volume into
// a voice's rate, volume level and pan position.
#pragma once
#include <cstdint>

constexpr int NoteCount = 128;
constexpr int SilentLevel = -10000;

// Program-wide level 0..10 that scales every key's volume; 10 at start.
extern int16_t masterVolume;

void buildRateTable();
// The note-to-rate table entry; notes outside 0..127 read the nearest end.
double noteRate(int note);
// Playback rate in samples per second for a note and fine tune.
double keyRate(int note, int fineTune);
// Truncated for the voice: 0 .. a little over 45 million for any 16-bit input.
uint32_t keyFrequency(int note, int fineTune);
// Level in hundredths of a decibel, -10000 (silence) .. 0 for volumes 0..400
// and master volumes 0..10; negative volumes and master volumes are silent.
int volumeLevel(int volume);
int panPosition(int pan);

constexpr int MaxVelocity = 127;
// What a MIDI note's velocity takes off a key's level, in hundredths of a
// decibel: the amplitude follows 0.01 + 0.99 * (velocity / 127)^2, square-law
// over 40 dB, so 127 is the key's own level (0), 64 is 11.65 dB below it
// (-1165) and 1 almost 40 dB (-3995). Velocities outside 1..127 count as the
// nearest of them.
int velocityAttenuation(int velocity);
