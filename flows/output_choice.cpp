#include "flows/output_choice.h"

#include "audio/audio_device.h"
#include "audio/audio_output.h"
#include "audio/sound_bank.h"
#include "base/menu.h"
#include "base/registry.h"
#include "base/utf8_text.h"
#include "flows/output_device.h"
#include "flows/recording.h"
#include "flows/sound_loading.h"
#include "keys/key_voices.h"
#include "keys/playing.h"
#include "resources/command_ids.h"

namespace {

// HKEY_CURRENT_USER\Software\Quillpad, "Output".
constexpr char OutputSetting[] = "Output";
constexpr char LowLatencyValue[] = "wasapi";
constexpr char DirectSoundValue[] = "directsound";
// Room for either value; a longer one is none of ours.
constexpr size_t OutputValueCapacity = 16;

AudioOutput outputInUse = AudioOutput::DirectSound;

AudioOutput chosenOutput() {
    char value[OutputValueCapacity];
    if (readProgramSetting(OutputSetting, value, sizeof value) && sameTextIgnoringCase(value, DirectSoundValue))
        return AudioOutput::DirectSound;
    return AudioOutput::LowLatency;
}

AudioOutput otherOutput(AudioOutput output) {
    return output == AudioOutput::LowLatency ? AudioOutput::DirectSound : AudioOutput::LowLatency;
}

bool lowLatencyInUse() { return audioDevice && outputInUse == AudioOutput::LowLatency; }

bool openOneOutput(AudioOutput output) {
    return output == AudioOutput::LowLatency ? openLowLatencyOutput() : openAudioOutput(AudioOutput::DirectSound);
}

void openOutput(AudioOutput chosen) {
    if (openOneOutput(chosen)) outputInUse = chosen;
    else if (openOneOutput(otherOutput(chosen))) outputInUse = otherOutput(chosen);
    setMenuItemChecked(CMD_LOW_LATENCY_OUTPUT, lowLatencyInUse());
    // DirectSound mixes in Windows: there is no mix of ours to record.
    setMenuItemEnabled(CMD_RECORD, lowLatencyInUse());
}

}  // namespace

bool openAudioDevice() {
    openOutput(chosenOutput());
    return audioDevice != nullptr;
}

void switchAudioOutput() {
    AudioOutput wanted = lowLatencyInUse() ? AudioOutput::DirectSound : AudioOutput::LowLatency;
    writeProgramSetting(OutputSetting, wanted == AudioOutput::LowLatency ? LowLatencyValue : DirectSoundValue);
    endRecording();
    killAllSounds();
    releaseAllSounds();
    leaveLowLatencyOutput();
    closeAudioOutput();
    openOutput(wanted);
    // Before the first sound folder the list holds only its placeholder: no bank to load again.
    if (soundBank.soundCount > 0) loadSoundBank();
}
