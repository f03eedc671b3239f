// Loading sounds: the sound directory's sound files into the list and the
// sound bank, Import Sounds, giving the list's sound to the selected key, and
// taking what the decoding thread finished.
#pragma once

// Makes the sound directory current, refills the list from its sound files
// and loads the sound bank; false (nothing changed) when it cannot be made
// current. The process's current directory is left as it was.
bool loadSoundDirectory();
// Asks for a sound file; its folder becomes the sound directory. False when no
// file was chosen, else the result of loadSoundDirectory.
bool importSounds();
// The list's button release: modified flag, Undo snapshot, assign the
// selected entry to the selected key, redraw its cap label idle.
void assignSelectedSoundFromList();
// The decoding thread's word that sounds are ready: each is taken and its
// keys get their voices; once nothing is loading any more, what failed since
// the last load is said in one message, naming a few files.
void takeFinishedSounds();
// Right after releaseAllSounds: a bank buffer for every WAV entry of the list
// (the others wait until a key needs them), then a voice for every key whose
// sound is loaded, and the sounds keys need but no key had asked for yet are
// sent to the decoding thread.
void loadSoundBank();
