// The system's MIDI inputs through winmm.
#include "app/midi_ports.h"

#include <windows.h>
#include <mmsystem.h>
#include <atomic>
#include <cstring>
#include <list>

#include "app/app_win32.h"
#include "app/scoped_win32.h"

namespace {

struct OpenPort {
    uint32_t tag;
    ScopedMidiInput input;
};

std::list<OpenPort> openPorts;  // the program's thread's alone
std::atomic<bool> messagesLost{false};

void post(UINT message, WPARAM wParam, DWORD_PTR tag) {
    if (!PostMessageA(mainWindow, message, wParam, static_cast<LPARAM>(tag))) messagesLost.store(true);
}

// Runs on winmm's thread: it only hands each message over to the program's
// thread, so that the key logic stays on one thread. Sysex buffers are never
// given to an input, so no long message comes. MIM_CLOSE comes when the
// program closes an input and when its device goes (a cable pulled).
void CALLBACK midiInputCallback(HMIDIIN, UINT message, DWORD_PTR tag, DWORD_PTR packed, DWORD_PTR) {
    if (message == MIM_DATA || message == MIM_MOREDATA) post(MidiInputMessage, packed, tag);
    else if (message == MIM_CLOSE) post(MidiInputClosedMessage, 0, tag);
}

}  // namespace

std::vector<MidiPort> listMidiPorts() {
    std::vector<MidiPort> ports;
    UINT count = midiInGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        MIDIINCAPSA caps = {};
        if (midiInGetDevCapsA(id, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        ports.push_back({id, std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname))});
    }
    return ports;
}

bool openMidiPort(unsigned id, uint32_t tag) {
    // What a failed open leaves in its out parameter is not said: only a
    // handle that opened goes into a holder.
    HMIDIIN opened = nullptr;
    if (midiInOpen(&opened, id, reinterpret_cast<DWORD_PTR>(midiInputCallback), tag, CALLBACK_FUNCTION) !=
        MMSYSERR_NOERROR)
        return false;
    openPorts.emplace_back();
    OpenPort& port = openPorts.back();
    port.tag = tag;
    *port.input.out() = opened;
    if (midiInStart(opened) == MMSYSERR_NOERROR) return true;
    openPorts.pop_back();
    return false;
}

void closeMidiPort(uint32_t tag) {
    openPorts.remove_if([tag](const OpenPort& port) { return port.tag == tag; });
}

bool isMidiPortPresent(uint32_t tag) {
    for (const OpenPort& port : openPorts) {
        if (port.tag != tag) continue;
        // winmm stops answering for a handle whose device has gone.
        UINT id = 0;
        return midiInGetID(port.input.get(), &id) == MMSYSERR_NOERROR;
    }
    return false;
}

bool takeLostMidiMessages() { return messagesLost.exchange(false); }
