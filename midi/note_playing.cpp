#include "midi/note_playing.h"

#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/playing.h"
#include "midi/note_map.h"

namespace {

bool isNote(int note) { return note >= 0 && note < MidiNoteCount; }
bool isDevice(int device) { return device >= 0 && device < MidiDeviceCapacity; }

// The note-off reaches the key its note-on pressed, in the bank it pressed it in.
void noteOffInBank(int bank, int device, int note) {
    KeyBank& keys = bankOf(bank);
    uint8_t& held = keys.keyOfHeldNote[device][note];
    if (held == 0) return;
    int key = held - 1;
    held = 0;
    if (keys.midiHolds[key] > 0 && --keys.midiHolds[key] == 0 && !keys.held[key]) releaseKeyOfBank(bank, key);
}

}  // namespace

void onNoteOn(int device, int note, int velocity) {
    if (!isDevice(device) || !isNote(note)) return;
    // A note holds a key in one bank at a time: held across a switch and
    // struck again, it lets go there and presses here.
    for (int b = 0; b < BankCount; ++b)
        if (b != shownBank && bankOf(b).keyOfHeldNote[device][note] != 0) noteOffInBank(b, device, note);
    int key = keyIndexForNote(note);
    uint8_t& held = keyBank.keyOfHeldNote[device][note];
    if (held != 0 && held - 1 == key) {
        // The same note again without its note-off: a press again, if the note alone holds the key.
        if (keyBank.midiHolds[key] == 1 && !keyBank.held[key]) pressKey(key, velocity);
        return;
    }
    if (held != 0) onNoteOff(device, note);  // learn moved the note to another key meanwhile
    if (key < 0) return;
    held = static_cast<uint8_t>(key + 1);
    if (keyBank.midiHolds[key]++ == 0 && !keyBank.held[key]) pressKey(key, velocity);
}

void onNoteOff(int device, int note) {
    if (!isDevice(device) || !isNote(note)) return;
    for (int b = 0; b < BankCount; ++b) noteOffInBank(b, device, note);
}

void releaseDeviceNotes(int device) {
    if (!isDevice(device)) return;
    for (int note = 0; note < MidiNoteCount; ++note) onNoteOff(device, note);
}
