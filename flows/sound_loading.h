// Loading sounds: the sound directory's WAV files into the list and the sound
// bank, Import Sounds, and giving the list's sound to the selected key.
#pragma once

// Makes the sound directory current, refills the list from its "*.wav" files
// and loads the sound bank; false (nothing changed) when it cannot be made
// current. The process's current directory is left as it was.
bool loadSoundDirectory();
// Asks for a WAV file; its folder becomes the sound directory. False when no
// file was chosen, else the result of loadSoundDirectory.
bool importSounds();
// The list's button release: modified flag, Undo snapshot, assign the
// selected entry to the selected key, redraw its cap label idle.
void assignSelectedSoundFromList();
// The decoding thread's word that sounds are ready: each is taken and its
// keys get their voices; once nothing is loading any more, what failed since
// the last load is said in one message, naming a few files.
void takeFinishedSounds();
// Right after releaseAllSounds: one bank buffer per list entry, then a voice
// for every key whose sound index names an entry of the bank.
void loadSoundBank();
