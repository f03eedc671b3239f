#include "flows/start_up.h"

#include "flows/output_choice.h"
#include "keys/key_bank.h"
#include "keys/key_display.h"

void startInstrument() {
    openAudioDevice();
    initKeyBank();
    refreshSelectedKey();
}
