#include "flows/start_up.h"

#include "flows/output_choice.h"
#include "keys/key_bank.h"
#include "panel/panel_redraw.h"

void startInstrument() {
    openAudioDevice();
    initKeyBank();
    refreshSelectedKey();
}
