// What a key press and release do to a key's voice in each trigger mode,
// muting, Kill All and the idle poll of keys playing to their end.
#pragma once

// The computer keyboard's press and release of a key. Alt and Ctrl mute it;
// a key that MIDI notes hold too is one press with them, so these neither
// restart nor release it then.
void keyDown(int key);
void keyUp(int key);
// The key-up of a held key that will go to another window: released as a
// key-up without Alt or Ctrl would release it, whatever is down now (Alt is,
// for Alt+Tab), and unmuted if Alt and the key muted it, as their key-up would.
void keyUpElsewhere(int key);
// A press and a release without the Alt gestures, as a MIDI note makes them;
// a start is scaled by the velocity (MaxVelocity: the key's own level). A
// start stops the other sounding keys of its choke group; a release that
// stops a key with a fade-out fades it, the key sounding until the fade ends.
void pressKey(int key, int velocity);
void releaseKey(int key);
// The release of key k of bank b, shown or not: a press that started in a
// bank stops there, whichever bank is shown now.
void releaseKeyOfBank(int bank, int key);
void muteKey(int key);
void unmuteKey(int key);
void clearMuteFlag(int key);
bool isKeyPlaying(int key);
// Mute button: mutes the selected key while the left button is held; with
// Ctrl down at the release the key stays muted.
void muteButton(int key);
// Stops every key, and forgets every key's MIDI holds: a note held through it
// gives a fresh press next time.
void killAllSounds();
// The main loop's poll, every 10 ms while a key plays to its end or fades
// out: clears the keys whose pass or fade has finished. It returns at once.
void pollFinishingKeys();
// Whether any key plays to its end or fades out: only then is there anything to poll.
bool anyKeyFinishing();
