#include "audio/wasapi_output_win32.h"

#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>
#include <atomic>
#include <memory>

#include "app/scoped_win32.h"
#include "audio/audio_device.h"
#include "audio/mixer.h"
#include "audio/sample_format.h"
#include "audio/wave_format.h"

namespace {

// A stream that stops waking the thread still lets it see that it should end.
constexpr DWORD LongestWaitMilliseconds = 200;

// What the render thread and the program's thread share. The render thread
// sets `mixer` and `running` before it signals `ready`.
struct WasapiStream {
    ScopedHandle periodEvent;  // set by the audio engine every period, and to wake the thread to end
    ScopedHandle ready;        // the stream runs, or could not be started
    std::atomic<bool> ending{false};
    std::unique_ptr<Mixer> mixer;
    bool running = false;
    // Declared last, so closed first: the thread has ended before its events go.
    ScopedHandle thread;
};

// The stream's objects, made, used and released on the render thread alone.
struct StreamObjects {
    ScopedComPtr<IAudioClient> client;
    ScopedComPtr<IAudioRenderClient> renderClient;
    UINT32 bufferFrames = 0;
};

std::unique_ptr<WasapiStream> openStream;

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
    if (!activateClient(objects) || !initializeStream(stream.periodEvent.get(), objects, layout)) return false;
    BYTE* data = nullptr;
    if (FAILED(objects.renderClient->GetBuffer(objects.bufferFrames, &data))) return false;
    objects.renderClient->ReleaseBuffer(objects.bufferFrames, AUDCLNT_BUFFERFLAGS_SILENT);
    stream.mixer = std::make_unique<Mixer>(layout, objects.bufferFrames);
    if (SUCCEEDED(objects.client->Start())) return true;
    stream.mixer.reset();
    return false;
}

// Each period, whatever room the stream has is filled with the next frames of the mix.
void renderPeriods(WasapiStream& stream, StreamObjects& objects) {
    while (!stream.ending.load()) {
        WaitForSingleObject(stream.periodEvent.get(), LongestWaitMilliseconds);
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
    ScopedComLibrary library(COINIT_MULTITHREADED);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    // Declared after the library, so released before it is uninitialised.
    StreamObjects objects;
    stream.running = library.initialised && startStream(stream, objects);
    SetEvent(stream.ready.get());
    if (stream.running) renderPeriods(stream, objects);
    return 0;
}

// The stream's holders close its handles and free the mixer once no thread
// reads it any more.
void endStream(std::unique_ptr<WasapiStream> stream) {
    if (!stream->thread) return;
    stream->ending = true;
    SetEvent(stream->periodEvent.get());
    WaitForSingleObject(stream->thread.get(), INFINITE);
}

}  // namespace

bool openWasapiOutput() {
    closeWasapiOutput();
    auto stream = std::make_unique<WasapiStream>();
    stream->periodEvent.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    stream->ready.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (stream->periodEvent && stream->ready)
        stream->thread.reset(CreateThread(nullptr, 0, renderThread, stream.get(), 0, nullptr));
    if (stream->thread) {
        // The thread signals once it knows; should it end without a word, its end counts as a failure.
        HANDLE answers[] = {stream->ready.get(), stream->thread.get()};
        WaitForMultipleObjects(2, answers, FALSE, INFINITE);
    }
    if (!stream->thread || !stream->running) {
        endStream(std::move(stream));
        return false;
    }
    audioDevice = stream->mixer.get();
    openStream = std::move(stream);
    return true;
}

void closeWasapiOutput() {
    if (!openStream) return;
    endStream(std::move(openStream));
}
