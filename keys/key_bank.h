// The 47 performance keys and their stored settings.
#pragma once
#include <cstdint>

class Voice;

constexpr int KeyCount = 47;
constexpr int MidiNoteCount = 128;
// MIDI inputs played from at once; a device past these is not opened.
constexpr int MidiDeviceCapacity = 16;

// What a key's press and release do, as the codes stored in setup files.
// Hold keys sound while held: at the release HoldStop stops at once and
// HoldFinish lets the current pass play to its end. Toggle keys start at one
// press and end at the next (ToggleStop at once, ToggleFinish at the end of the
// pass); while one sounds it carries its running code, one below its idle code,
// so that the next press knows to end it. A running code is never saved: a
// setup file read back, Kill All and a new sound put the idle code back.
enum TriggerMode : int16_t {
    HoldFinish = 991,
    HoldStop = 992,
    ToggleStopRunning = 993,
    ToggleStop = 994,
    ToggleFinishRunning = 995,
    ToggleFinish = 996,
};

// Everything of a key that is stored, copied, pasted and undone: all but its
// voice. extraA..extraD change nothing that is heard or shown: they are kept
// because setup files hold them, so that a file opened and saved again keeps
// its bytes (extraA alone is set to -1 whenever a file is read). The reserved
// bytes are always 0 and never saved. The key's properties after them are
// saved only where one differs from its default, which leaves a key as
// every older version played it.
struct KeySettings {
    int16_t extraA = -1;
    uint8_t reservedByte1 = 0;
    uint8_t reservedByte2 = 0;
    int16_t note = 60;               // 0..127; 60 plays 44100 samples a second
    int16_t triggerMode = HoldStop;  // a TriggerMode code
    int16_t soundIndex = 0;          // position in the sound list, from 0
    int16_t volume = 100;            // 0..400, 100 the sound's own level
    int16_t pan = 100;               // 1 (left) .. 200 (right), 100 the centre
    int16_t fineTune = 0;            // -100..100, hundredths of a semitone
    int16_t muted = 0;               // 1 while muted (Alt, or the Mute button)
    int16_t extraB = 10;
    int16_t extraC = 0;
    int16_t extraD = 1;
    // Sounding keys of the same group (1..16) stop when this one starts; 0: none.
    int16_t chokeGroup = 0;
    int16_t fadeInMilliseconds = 0;   // every start rises from silence over it, 0..10000
    int16_t fadeOutMilliseconds = 0;  // a stop that cuts falls to silence over it, 0..10000
    // The part of the sound played, in milliseconds of the sound at its own
    // rate, 0..3,600,000; an end of 0 is the sound's end. Kept as set when
    // past the sound's length, which may change; clamped when played.
    int32_t startMilliseconds = 0;
    int32_t endMilliseconds = 0;
    // A file of the key's own instead of a list entry: n names the sound
    // bank's own file n (audio/sound_bank.h), and soundIndex is then -1. 0: none.
    int16_t ownFile = 0;
};

constexpr int ChokeGroupCount = 16;
constexpr int LongestFadeMilliseconds = 10000;
constexpr int32_t LatestPointMilliseconds = 3600000;

// Whether the key's properties are all at their defaults.
bool hasDefaultProperties(const KeySettings& key);

// Every settings field, field by field in their order; when the destination
// is a KeySlot its voice stays as it was.
void copyKeySettings(const KeySettings& source, KeySettings& destination);

struct KeySlot : KeySettings {
    Voice* voice = nullptr;  // owned by the slot; empty until a sound bank is loaded
};

struct KeyBank {
    KeySlot slots[KeyCount];
    int16_t selectedKey = 0;
    uint8_t finishing[KeyCount] = {};  // 1 while a released key plays to its end or fades out
    // 1 from a key's key-down to its key-up: the keys the player holds now.
    uint8_t held[KeyCount] = {};
    // A key held from the computer keyboard and from MIDI notes is one press:
    // it is released when the last of them lets go. Each device's held notes
    // keep the key they pressed (key + 1, 0 for none), so that a note-off
    // releases that key even when learn has moved the note since.
    uint8_t keyOfHeldNote[MidiDeviceCapacity][MidiNoteCount] = {};
    uint16_t midiHolds[KeyCount] = {};  // notes holding each key now
    // Hundredths of a decibel below the key's own level that its last start
    // asked for: 0 from the computer keyboard, the velocity's from MIDI. Every
    // later volume change of the key keeps it.
    int16_t pressAttenuation[KeyCount] = {};
};

extern KeyBank keyBank;

bool isKeyIndex(int key);
// The selected key's slot; nullptr while selectedKey names no key.
KeySlot* selectedKeySlot();

// Start-up: clears the finishing flags, builds the rate table, gives every
// key its start-up values and selects key 0. Draws nothing.
void initKeyBank();
// Every key's settings the start-up values; voices and state untouched.
void giveStartUpLayout(KeyBank& bank);

// Puts a running toggle code back to its idle form (993 -> 994, 995 -> 996).
void setIdleTriggerMode(KeySettings& key);
