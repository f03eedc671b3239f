#include "flows/start_up.h"

#include "flows/output_choice.h"
#include "keys/key_banks.h"
#include "keys/key_display.h"
#include "sound_files/decoding_thread.h"
#include "sound_files/sound_decoding.h"

void startInstrument() {
    setSoundDecoder(decodeSoundFile);
    openAudioDevice();
    initKeyBanks();
    refreshSelectedKey();
}
