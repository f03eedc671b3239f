// Puts every program-wide object and fake back to its start, in the one order
// that is safe: voices and buffers are released while the fake device that
// made them still holds them.
#pragma once

#include <cstdio>
#include <string>

#include "audio/audio_device.h"
#include "audio/sound_bank.h"
#include "edit/key_clipboard.h"
#include "edit/undo.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_decoding_events.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_external_file.h"
#include "fakes/fake_input.h"
#include "fakes/fake_key_properties_dialog.h"
#include "fakes/fake_legacy_code_page.h"
#include "fakes/fake_main_window.h"
#include "fakes/fake_menu.h"
#include "fakes/fake_midi_ports.h"
#include "fakes/fake_recording_file.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_setup_dialogs.h"
#include "fakes/fake_setup_storage.h"
#include "fakes/fake_sound_folder.h"
#include "fakes/fake_sound_list_window.h"
#include "fakes/fake_system_decoder.h"
#include "flows/output_device.h"
#include "flows/recording.h"
#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "keys/key_voices.h"
#include "keys/pitch_volume.h"
#include "library/sound_directory.h"
#include "midi/midi_input.h"
#include "midi/midi_learn.h"
#include "midi/note_map.h"
#include "setup/document.h"
#include "sound_files/decoding_thread.h"

inline void resetProgramState() {
    endRecording();
    leaveLowLatencyOutput();
    cancelMidiLearn();
    stopMidiInput();
    noteMap = defaultNoteMap();
    setSoundDecoder(nullptr);  // the thread ended; a test decodes only when it starts the instrument
    soundsDecodedTold = 0;
    releaseAllSounds();
    soundBank = SoundBank();
    fakeAudio.reset();
    initKeyBanks();  // bank 1 shown and the others at the start-up layout, whatever a test left
    keyBank = KeyBank();
    undoSnapshot = UndoSnapshot();
    keyClipboard = KeyClipboard();
    masterVolume = 10;
    document = DocumentState();
    soundDirectory[0] = '\0';
    soundDirectoryTitle[0] = '\0';
    fakeInput = FakeInput{};
    fakeSoundList.reset();
    fakeSoundFolder.reset();
    fakeMainWindow.reset();
    fakeDialogs.reset();
    fakeMenu.reset();
    fakeMidiPorts.reset();
    fakeSetupStorage.reset();
    fakeSetupDialogs.reset();
    fakeShell.reset();
    fakeRegistry.reset();
    fakeLegacyCodePage.reset();
    fakeRecordingFile.reset();
    fakeKeyPropertiesDialog.reset();
    fakeSystemDecoder.reset();
    callLog.clear();
}

// Makes path the sound directory, as Import Sounds or an opened setup would.
inline void setSoundDirectory(const std::string& path) {
    std::snprintf(soundDirectory, PathCapacity, "%s", path.c_str());
}
