#include <windows.h>
#include <mmdeviceapi.h>
#include <audioclient.h>

#include <atomic>

#include "app/scoped_win32.h"
#include "audio/audio_device.h"
#include "audio/mixer.h"
#include "audio/sample_format.h"
#include "audio/wasapi_output_win32.h"
#include "audio/wave_format.h"

namespace {

// A stream that stops waking the thread still lets it see that it should end.
constexpr DWORD LongestWaitMilliseconds = 200;

// What the render thread and the program's thread share. The render thread
// sets `mixer` and `running` before it signals `ready`.
struct WasapiStream {
    HANDLE thread = nullptr;
    HANDLE periodEvent = nullptr;  // set by the audio engine every period, and to wake the thread to end
    HANDLE ready = nullptr;        // the stream runs, or could not be started
    std::atomic<bool> ending{false};
    Mixer* mixer = nullptr;
    bool running = false;
};

// The stream's objects, made, used and released on the render thread alone.
struct StreamObjects {
    ScopedComPtr<IAudioClient> client;
    ScopedComPtr<IAudioRenderClient> renderClient;
    UINT32 bufferFrames = 0;
};

WasapiStream* openStream = nullptr;

bool activateClient(StreamObjects& objects) {
    ScopedComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                enumerator.outVoid())))
        return false;
    ScopedComPtr<IMMDevice> device;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.out()))) return false;
    return SUCCEEDED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, objects.client.outVoid()));
}

// Shared mode at the engine's own format, so that nothing converts after the
// mixer; the engine's default buffer, so that the period is its shortest.
bool initializeStream(HANDLE periodEvent, StreamObjects& objects, SampleLayout& layout) {
    ScopedTaskMemory<WAVEFORMATEX> format;
    if (FAILED(objects.client->GetMixFormat(format.out()))) return false;
    if (!outputLayout(*reinterpret_cast<const WaveFormatRecord*>(format.get()), layout)) return false;
    if (FAILED(objects.client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK, 0, 0,
                                          format.get(), nullptr)))
        return false;
    return SUCCEEDED(objects.client->SetEventHandle(periodEvent)) &&
           SUCCEEDED(objects.client->GetBufferSize(&objects.bufferFrames)) && objects.bufferFrames > 0 &&
           SUCCEEDED(objects.client->GetService(__uuidof(IAudioRenderClient), objects.renderClient.outVoid()));
}

// Silence fills the buffer before the start, so the stream starts without a
// gap; from then on it runs, playing silence while nothing sounds.
bool startStream(WasapiStream& stream, StreamObjects& objects) {
    SampleLayout layout;
    if (!activateClient(objects) || !initializeStream(stream.periodEvent, objects, layout)) return false;
    BYTE* data = nullptr;
    if (FAILED(objects.renderClient->GetBuffer(objects.bufferFrames, &data))) return false;
    objects.renderClient->ReleaseBuffer(objects.bufferFrames, AUDCLNT_BUFFERFLAGS_SILENT);
    stream.mixer = new Mixer(layout, objects.bufferFrames);
    if (SUCCEEDED(objects.client->Start())) return true;
    delete stream.mixer;
    stream.mixer = nullptr;
    return false;
}

// Each period, whatever room the stream has is filled with the next frames of the mix.
void renderPeriods(WasapiStream& stream, StreamObjects& objects) {
    while (!stream.ending.load()) {
        WaitForSingleObject(stream.periodEvent, LongestWaitMilliseconds);
        if (stream.ending.load()) break;
        UINT32 queued = 0;
        if (FAILED(objects.client->GetCurrentPadding(&queued)) || queued >= objects.bufferFrames) continue;
        UINT32 frames = objects.bufferFrames - queued;
        BYTE* data = nullptr;
        if (FAILED(objects.renderClient->GetBuffer(frames, &data))) continue;
        stream.mixer->render(frames, data);
        objects.renderClient->ReleaseBuffer(frames, 0);
    }
    objects.client->Stop();
}

DWORD WINAPI renderThread(void* parameter) {
    auto& stream = *static_cast<WasapiStream*>(parameter);
    bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    {
        StreamObjects objects;
        stream.running = comReady && startStream(stream, objects);
        SetEvent(stream.ready);
        if (stream.running) renderPeriods(stream, objects);
    }
    if (comReady) CoUninitialize();
    return 0;
}

void endStream(WasapiStream* stream) {
    if (stream->thread) {
        stream->ending = true;
        SetEvent(stream->periodEvent);
        WaitForSingleObject(stream->thread, INFINITE);
        CloseHandle(stream->thread);
    }
    delete stream->mixer;  // no thread reads it any more
    if (stream->periodEvent) CloseHandle(stream->periodEvent);
    if (stream->ready) CloseHandle(stream->ready);
    delete stream;
}

}  // namespace

bool openWasapiOutput() {
    closeWasapiOutput();
    auto* stream = new WasapiStream;
    stream->periodEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    stream->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stream->periodEvent && stream->ready)
        stream->thread = CreateThread(nullptr, 0, renderThread, stream, 0, nullptr);
    if (stream->thread) {
        // The thread signals once it knows; should it end without a word, its end counts as a failure.
        HANDLE answers[] = {stream->ready, stream->thread};
        WaitForMultipleObjects(2, answers, FALSE, INFINITE);
    }
    if (!stream->thread || !stream->running) {
        endStream(stream);
        return false;
    }
    openStream = stream;
    audioDevice = stream->mixer;
    return true;
}

void closeWasapiOutput() {
    if (!openStream) return;
    endStream(openStream);
    openStream = nullptr;
}
