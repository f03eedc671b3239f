#include "flows/start_up.h"

#include "flows/output_choice.h"
#include "keys/key_banks.h"
#include "keys/key_display.h"

void startInstrument() {
    openAudioDevice();
    initKeyBanks();
    refreshSelectedKey();
}
