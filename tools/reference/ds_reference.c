/* A minimal DirectSound program, the yardstick for Quillpad's timings: what a
 * bare program on the same system achieves.
 *
 *   ds_reference.exe
 *
 * Opens a window titled "DirectSound reference" (class "DSReference") once its sound is
 * ready to play. DirectSound is set up as Quillpad sets it up: the default
 * device at priority level, a 44100 Hz 16-bit stereo primary format, and one
 * static buffer with frequency, pan and volume control holding a second of a
 * 440 Hz sine at half of full scale. Any key pressed in the window starts the
 * buffer looping from its start; its release stops it. Closing the window ends
 * the program.
 *
 * Build: x86_64-w64-mingw32-gcc -O2 -static -o ds_reference.exe ds_reference.c -ldsound -ldxguid -lgdi32 -luser32
 */
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#include <math.h>

#define RATE 44100
#define TONE 440.0

static IDirectSound* device;
static IDirectSoundBuffer* tone;

static WAVEFORMATEX pcmFormat(WORD channels) {
    WAVEFORMATEX format = {0};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = RATE;
    format.wBitsPerSample = 16;
    format.nBlockAlign = (WORD)(2 * channels);
    format.nAvgBytesPerSec = RATE * format.nBlockAlign;
    return format;
}

static void setPrimaryFormat(void) {
    DSBUFFERDESC description = {0};
    IDirectSoundBuffer* primary = NULL;
    WAVEFORMATEX format = pcmFormat(2);
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(IDirectSound_CreateSoundBuffer(device, &description, &primary, NULL))) return;
    IDirectSoundBuffer_SetFormat(primary, &format);
    IDirectSoundBuffer_Release(primary);
}

static BOOL makeTone(void) {
    DSBUFFERDESC description = {0};
    WAVEFORMATEX format = pcmFormat(1);
    void* area = NULL;
    DWORD bytes = 0;
    description.dwSize = sizeof description;
    description.dwFlags =
        DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = RATE * 2;
    description.lpwfxFormat = &format;
    if (FAILED(IDirectSound_CreateSoundBuffer(device, &description, &tone, NULL))) return FALSE;
    if (FAILED(IDirectSoundBuffer_Lock(tone, 0, 0, &area, &bytes, NULL, NULL, DSBLOCK_ENTIREBUFFER))) return FALSE;
    for (DWORD n = 0; n < bytes / 2; ++n)
        ((short*)area)[n] = (short)(16383.0 * sin(2.0 * 3.14159265358979 * TONE * n / RATE));
    IDirectSoundBuffer_Unlock(tone, area, bytes, NULL, 0);
    return TRUE;
}

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (!(lParam & (1 << 30))) { /* not an auto-repeat */
            IDirectSoundBuffer_Stop(tone);
            IDirectSoundBuffer_SetCurrentPosition(tone, 0);
            IDirectSoundBuffer_Play(tone, 0, 0, DSBPLAY_LOOPING);
        }
        return 0;
    case WM_KEYUP:
        IDirectSoundBuffer_Stop(tone);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState) {
    WNDCLASSA windowClass = {0};
    HWND window;
    MSG message;
    (void)previous;
    (void)commandLine;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = "DSReference";
    if (!RegisterClassA(&windowClass)) return 1;
    /* Made hidden: it is shown only once the sound is ready, so that a
     * window on the screen means a key will sound. */
    window = CreateWindowExA(0, "DSReference", "DirectSound reference", WS_OVERLAPPEDWINDOW, 100, 100, 320, 200, NULL,
                             NULL, instance, NULL);
    if (!window) return 1;
    if (FAILED(DirectSoundCreate(NULL, &device, NULL))) return 2;
    if (FAILED(IDirectSound_SetCooperativeLevel(device, window, DSSCL_PRIORITY))) return 2;
    setPrimaryFormat();
    if (!makeTone()) return 2;
    ShowWindow(window, showState);
    UpdateWindow(window);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    IDirectSoundBuffer_Release(tone);
    IDirectSound_Release(device);
    return 0;
}
