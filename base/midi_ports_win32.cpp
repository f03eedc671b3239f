// The system's MIDI inputs through winmm.
#include "base/midi_ports.h"

#include <windows.h>
#include <mmsystem.h>
#include <atomic>
#include <cwchar>
#include <list>
#include <string>

#include "base/midi_port_events.h"
#include "base/scoped_win32.h"

namespace {

struct OpenPort {
    uint32_t tag;
    ScopedMidiInput input;
};

std::list<OpenPort> openPorts;  // the program's thread's alone

// The callback's: the numbers of the last message handed over and the last
// one posted. winmm calls it on one thread, so they follow the queue's order;
// only the MIM_CLOSE of an input the program closes comes on the program's.
std::atomic<uint32_t> lastNumber{0};
std::atomic<uint32_t> lastPosted{0};
// A post failed: LossNoted with the number of the last message posted before
// it. A later loss overwrites an earlier one not yet taken, which it covers.
constexpr uint64_t LossNoted = uint64_t{1} << 32;
std::atomic<uint64_t> loss{0};

void handOver(bool (*tell)(uint32_t, uint32_t, uint32_t), uint32_t packed, DWORD_PTR tag) {
    uint32_t number = lastNumber.fetch_add(1) + 1;
    if (tell(static_cast<uint32_t>(tag), packed, number)) lastPosted.store(number);
    else loss.store(LossNoted | lastPosted.load());
}

bool tellClosed(uint32_t tag, uint32_t, uint32_t number) { return tellMidiInputClosed(tag, number); }

// Runs on winmm's thread: it only hands each message over to the program's
// thread, so that the key logic stays on one thread. Sysex buffers are never
// given to an input, so no long message comes. MIM_CLOSE comes when the
// program closes an input and when its device goes (a cable pulled).
void CALLBACK midiInputCallback(HMIDIIN, UINT message, DWORD_PTR tag, DWORD_PTR packed, DWORD_PTR) {
    if (message == MIM_DATA || message == MIM_MOREDATA) handOver(tellMidiMessage, static_cast<uint32_t>(packed), tag);
    else if (message == MIM_CLOSE) handOver(tellClosed, 0, tag);
}

// The name whole in the active code page, UTF-8 under the program's manifest,
// as the menu and the registry take it. The ANSI caps would hand it over in
// 32 bytes, cut inside a character that takes more than one.
std::string deviceName(const MIDIINCAPSW& caps) {
    int wideLength = static_cast<int>(wcsnlen(caps.szPname, MAXPNAMELEN));
    int length = WideCharToMultiByte(CP_ACP, 0, caps.szPname, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string name(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, caps.szPname, wideLength, &name[0], length, nullptr, nullptr);
    return name;
}

}  // namespace

std::vector<MidiPort> listMidiPorts() {
    std::vector<MidiPort> ports;
    UINT count = midiInGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        MIDIINCAPSW caps = {};
        if (midiInGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        ports.push_back({id, deviceName(caps)});
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

bool takeLostMidiMessages(uint32_t& lastNumberBeforeLoss) {
    uint64_t noted = loss.exchange(0);
    if (!(noted & LossNoted)) return false;
    lastNumberBeforeLoss = static_cast<uint32_t>(noted);
    return true;
}
