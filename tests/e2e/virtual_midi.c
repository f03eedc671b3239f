/* The end-to-end tests' MIDI input: there is no MIDI hardware here, so this
 * winmm driver gives the program one input, "Virtual Pads Ωμέγα 仮想パッド", that
 * plays what a test sends it. Its name, 24 characters, takes 39 bytes in UTF-8,
 * more than the 32 bytes of a device name in the ANSI caps. Each UDP datagram to 127.0.0.1 at the port in the
 * environment variable QUILLPAD_TEST_MIDI_PORT holds short messages of 4
 * bytes each, packed as winmm packs them (status in the low byte, little
 * endian); each is delivered as it is, well formed or not, as one MIM_DATA.
 * The datagram "unplug" (its length no multiple of 4) pulls the cable: the
 * input reports itself closed with MIM_CLOSE, as a driver does for a device
 * that went, and from then on the device is gone for this process: it has no
 * name, cannot be opened and delivers nothing.
 *
 * Wine's mmdevapi loads wine<name>.drv for each name of HKCU\Software\Wine\
 * Drivers "Audio", and winmm takes its MIDI from the driver mmdevapi keeps;
 * the audio functions are handed on to winepulse.drv (virtual_midi.def), so
 * sound still goes to PulseAudio. The rig installs it as wineqpmidi.drv. */
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>
#include <stdlib.h>
#include <string.h>
#include <winsock2.h>

BOOL WINAPI DriverCallback(DWORD_PTR callback, DWORD flags, HDRVR device, DWORD message, DWORD_PTR instance,
                           DWORD_PTR param1, DWORD_PTR param2);

static const WCHAR InputName[] = L"Virtual Pads \u03A9\u03BC\u03AD\u03B3\u03B1 \u4EEE\u60F3\u30D1\u30C3\u30C9";
static const char UnplugDatagram[] = "unplug";

/* The one input. The delivering thread reads it under the lock, so that
 * nothing is delivered once the program has closed the input. */
static CRITICAL_SECTION lock;
static struct {
    BOOL open, started, unplugged;
    volatile LONG stopping;
    DWORD_PTR callback, instance;
    DWORD callbackFlags;
    HMIDI handle;
    SOCKET socket;
    HANDLE thread;
    DWORD openedAt;
} input;

static BOOL isUnplugged(void) {
    BOOL unplugged;
    EnterCriticalSection(&lock);
    unplugged = input.unplugged;
    LeaveCriticalSection(&lock);
    return unplugged;
}

static void notify(DWORD message, DWORD_PTR param1, DWORD_PTR param2) {
    DriverCallback(input.callback, input.callbackFlags, (HDRVR)input.handle, message, input.instance, param1, param2);
}

static DWORD WINAPI deliver(void* unused) {
    static char datagram[65536];
    (void)unused;
    while (!input.stopping) {
        fd_set readable;
        struct timeval wait = {0, 20000};
        FD_ZERO(&readable);
        FD_SET(input.socket, &readable);
        if (select(0, &readable, NULL, NULL, &wait) <= 0) continue;
        int length = recv(input.socket, datagram, sizeof datagram, 0);
        if (length <= 0) continue;
        EnterCriticalSection(&lock);
        if (length == sizeof UnplugDatagram - 1 && memcmp(datagram, UnplugDatagram, (size_t)length) == 0 &&
            input.open && !input.unplugged) {
            input.unplugged = TRUE;
            notify(MIM_CLOSE, 0, 0);
        }
        for (int i = 0; input.open && input.started && !input.unplugged && i + 4 <= length; i += 4) {
            DWORD message;
            memcpy(&message, datagram + i, 4);
            notify(MIM_DATA, message, GetTickCount() - input.openedAt);
        }
        LeaveCriticalSection(&lock);
    }
    return 0;
}

static DWORD openInput(const MIDIOPENDESC* desc, DWORD_PTR flags) {
    char port[16];
    WSADATA wsa;
    struct sockaddr_in address;
    int buffer = 4 << 20;
    if (isUnplugged()) return MMSYSERR_NODRIVER;
    if (input.open) return MMSYSERR_ALLOCATED;
    if (!GetEnvironmentVariableA("QUILLPAD_TEST_MIDI_PORT", port, sizeof port)) return MMSYSERR_NODRIVER;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    input.socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (input.socket == INVALID_SOCKET) return MMSYSERR_ERROR;
    setsockopt(input.socket, SOL_SOCKET, SO_RCVBUF, (const char*)&buffer, sizeof buffer);
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons((u_short)atoi(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(input.socket, (struct sockaddr*)&address, sizeof address) != 0) {
        closesocket(input.socket);
        return MMSYSERR_ALLOCATED; /* another program has it open */
    }
    input.callback = desc->dwCallback;
    input.instance = desc->dwInstance;
    input.handle = desc->hMidi;
    input.callbackFlags = HIWORD(flags);
    input.openedAt = GetTickCount();
    input.started = FALSE;
    input.stopping = 0;
    input.open = TRUE;
    input.thread = CreateThread(NULL, 0, deliver, NULL, 0, NULL);
    notify(MIM_OPEN, 0, 0);
    return MMSYSERR_NOERROR;
}

static DWORD closeInput(void) {
    if (!input.open) return MMSYSERR_INVALHANDLE;
    EnterCriticalSection(&lock);
    input.open = FALSE;
    LeaveCriticalSection(&lock);
    InterlockedExchange(&input.stopping, 1);
    WaitForSingleObject(input.thread, INFINITE);
    CloseHandle(input.thread);
    closesocket(input.socket);
    if (!input.unplugged) notify(MIM_CLOSE, 0, 0); /* an unplugged input said so already */
    return MMSYSERR_NOERROR;
}

static void setStarted(BOOL started) {
    EnterCriticalSection(&lock);
    input.started = started;
    LeaveCriticalSection(&lock);
}

DWORD WINAPI midMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2) {
    (void)user;
    if (message != MIDM_GETNUMDEVS && message != DRVM_INIT && device != 0) return MMSYSERR_BADDEVICEID;
    switch (message) {
    case DRVM_INIT:
    case DRVM_EXIT:
    case DRVM_ENABLE:
    case DRVM_DISABLE:
        return MMSYSERR_NOERROR;
    case MIDM_GETNUMDEVS:
        return isUnplugged() ? 0 : 1;
    case MIDM_GETDEVCAPS: {
        MIDIINCAPSW caps;
        if (isUnplugged()) return MMSYSERR_NODRIVER;
        memset(&caps, 0, sizeof caps);
        caps.wMid = 0xFF;
        caps.wPid = 1;
        caps.vDriverVersion = 0x100;
        memcpy(caps.szPname, InputName, sizeof InputName);
        memcpy((void*)param1, &caps, param2 < sizeof caps ? param2 : sizeof caps);
        return MMSYSERR_NOERROR;
    }
    case MIDM_OPEN:
        return openInput((const MIDIOPENDESC*)param1, param2);
    case MIDM_CLOSE:
        return closeInput();
    case MIDM_START:
        setStarted(TRUE);
        return MMSYSERR_NOERROR;
    case MIDM_STOP:
    case MIDM_RESET:
        setStarted(FALSE);
        return MMSYSERR_NOERROR;
    default:
        return MMSYSERR_NOTSUPPORTED; /* no system exclusive buffers */
    }
}

LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1, LPARAM param2) {
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_OPEN:
    case DRV_CLOSE:
    case DRV_ENABLE:
    case DRV_DISABLE:
        return 1;
    case DRV_QUERYCONFIGURE:
        return 0;
    default:
        return DefDriverProc(id, driver, message, param1, param2);
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) InitializeCriticalSection(&lock);
    return TRUE;
}
