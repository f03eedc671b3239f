// Which output plays: the low-latency one or DirectSound, chosen in the
// Functions menu and remembered under HKEY_CURRENT_USER\Software\Quillpad.
#pragma once

// Opens the output the user chose last, the low-latency one unless DirectSound
// was chosen, and the other one, without a word, when that cannot be had. The
// Low-Latency Output menu item shows which one plays, and the Record item is
// greyed with DirectSound. False when neither opens.
bool openAudioDevice();
// The Low-Latency Output command: a recording ends, every sound stops, the
// other output opens and the loaded sounds are loaded into it again; the keys,
// the sound list and the modified flag stay as they are. The choice is
// remembered.
void switchAudioOutput();
