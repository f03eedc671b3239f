#include "audio/low_latency_output.h"

#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "audio/endpoints_win32.h"
#include "audio/mixer.h"
#include "audio/output_events.h"
#include "audio/render_loop.h"
#include "base/scoped_win32.h"
#include "sound_files/sample_format.h"
#include "sound_files/wave_format.h"

namespace {

// What the render thread keeps queued: this many of the engine's periods, not
// its whole buffer. Each period the engine plays one and the thread adds one;
// the second covers a wake-up that comes late. Measured in docs/performance.md.
constexpr UINT32 QueuedPeriods = 2;
// The mixer works through a longer request in pieces of this many frames.
constexpr uint32_t MixPieceFrames = 4096;
// The layout of a mixer that has not played on any stream yet.
constexpr SampleLayout FirstLayout = {SampleEncoding::Float32, 2, 8, 48000};

// The stream's objects, made, used and released on its render thread alone.
struct StreamObjects : RenderStream {
    HANDLE periodEvent = nullptr;  // the thread's, set by the engine every period
    unsigned generation = 0;       // told with a loss
    ScopedComPtr<IAudioClient> client;
    ScopedComPtr<IAudioRenderClient> renderClient;
    StreamShape shape;
    UINT32 bufferFrames = 0;
    std::vector<uint8_t> unheard;  // a period of output that goes nowhere
    LARGE_INTEGER clockRate = {};

    static StreamCall outcome(HRESULT result) {
        if (result == AUDCLNT_E_DEVICE_INVALIDATED) return StreamCall::DeviceGone;
        return SUCCEEDED(result) ? StreamCall::Done : StreamCall::Failed;
    }
    bool waitForPeriod(uint32_t milliseconds) override {
        return WaitForSingleObject(periodEvent, milliseconds) == WAIT_OBJECT_0;
    }
    StreamCall queuedFrames(uint32_t& frames) override {
        UINT32 queued = 0;
        HRESULT result = client->GetCurrentPadding(&queued);
        frames = queued;
        return outcome(result);
    }
    StreamCall write(Mixer& mixer, uint32_t frames) override {
        BYTE* data = nullptr;
        HRESULT result = renderClient->GetBuffer(frames, &data);
        if (FAILED(result)) return outcome(result);
        mixer.render(frames, data);
        return outcome(renderClient->ReleaseBuffer(frames, 0));
    }
    StreamCall pause() override { return outcome(client->Stop()); }
    StreamCall resume(Mixer& mixer, uint32_t frames) override {
        HRESULT result = client->Reset();
        if (FAILED(result)) return outcome(result);
        StreamCall written = write(mixer, frames);
        return written == StreamCall::Done ? outcome(client->Start()) : written;
    }
    StreamCall start(uint32_t frames) override {
        BYTE* data = nullptr;
        HRESULT result = renderClient->GetBuffer(frames, &data);
        if (FAILED(result)) return outcome(result);
        result = renderClient->ReleaseBuffer(frames, AUDCLNT_BUFFERFLAGS_SILENT);
        if (FAILED(result)) return outcome(result);
        return outcome(client->Start());
    }
    void stop() override { client->Stop(); }
    void tellLost() override { tellOutputLost(generation); }
    uint64_t microseconds() override {
        LARGE_INTEGER now = {};
        QueryPerformanceCounter(&now);
        return static_cast<uint64_t>(now.QuadPart / clockRate.QuadPart * 1000000 +
                                     now.QuadPart % clockRate.QuadPart * 1000000 / clockRate.QuadPart);
    }
};

// One render thread and the stream it opened on one endpoint. The program's
// thread sets everything before the thread starts, except what the thread
// sets before it signals `opened` (`streamOpen`, `layout`); `ending` is the
// program's, read by the thread.
struct StreamThread {
    std::string endpointId;  // "" for the system's default
    Mixer* mixer = nullptr;  // the output's: rendered by one thread at a time
    unsigned generation = 0;
    ScopedHandle periodEvent;  // set by the engine every period, and to wake the thread
    ScopedHandle opened;       // the stream is open, or could not be opened
    ScopedHandle go;           // the thread before it has ended: this one may render
    std::atomic<bool> ending{false};
    bool streamOpen = false;
    SampleLayout layout;
    // Declared last, so closed first: the thread has ended before its events go.
    ScopedHandle thread;
};

// The program thread's: the mixer that outlives every stream, the stream
// rendering now, and the endpoints' notifications.
struct LowLatencyOutput {
    std::unique_ptr<Mixer> mixer;
    std::unique_ptr<StreamThread> stream;
    unsigned lastGeneration = 0;
    EndpointWatch endpoints;
};

std::unique_ptr<LowLatencyOutput> output;

std::wstring wideText(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

bool activateClient(const std::string& endpointId, StreamObjects& objects) {
    ScopedComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                enumerator.outVoid())))
        return false;
    ScopedComPtr<IMMDevice> device;
    HRESULT found = endpointId.empty() ? enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.out())
                                       : enumerator->GetDevice(wideText(endpointId).c_str(), device.out());
    if (FAILED(found)) return false;
    return SUCCEEDED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, objects.client.outVoid()));
}

// Shared mode at the engine's own format, so that nothing converts after the
// mixer; the engine's default buffer, of which only a few periods are kept full.
bool initializeStream(StreamObjects& objects) {
    ScopedTaskMemory<WAVEFORMATEX> format;
    if (FAILED(objects.client->GetMixFormat(format.out()))) return false;
    SampleLayout& layout = objects.shape.layout;
    if (!outputLayout(*reinterpret_cast<const WaveFormatRecord*>(format.get()), layout)) return false;
    if (FAILED(objects.client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK, 0, 0,
                                          format.get(), nullptr)))
        return false;
    REFERENCE_TIME period = 0;
    if (FAILED(objects.client->SetEventHandle(objects.periodEvent)) ||
        FAILED(objects.client->GetBufferSize(&objects.bufferFrames)) || objects.bufferFrames == 0 ||
        FAILED(objects.client->GetDevicePeriod(&period, nullptr)) ||
        FAILED(objects.client->GetService(__uuidof(IAudioRenderClient), objects.renderClient.outVoid())))
        return false;
    // The period in 100-nanosecond units, as frames; at least one.
    uint64_t frames = (static_cast<uint64_t>(period) * layout.rate + 9999999) / 10000000;
    objects.shape.periodFrames =
        static_cast<UINT32>(std::max<uint64_t>(1, std::min<uint64_t>(frames, objects.bufferFrames)));
    objects.shape.queuedFrames = std::min(objects.bufferFrames, QueuedPeriods * objects.shape.periodFrames);
    return QueryPerformanceFrequency(&objects.clockRate) && objects.clockRate.QuadPart > 0;
}

DWORD WINAPI renderThread(void* parameter) {
    auto& stream = *static_cast<StreamThread*>(parameter);
    ScopedComLibrary library(COINIT_MULTITHREADED);
    ScopedProAudioThread proAudio;
    // Declared after the library, so released before it is uninitialised.
    StreamObjects objects;
    objects.periodEvent = stream.periodEvent.get();
    objects.generation = stream.generation;
    stream.streamOpen = library.initialised && activateClient(stream.endpointId, objects) && initializeStream(objects);
    stream.layout = objects.shape.layout;
    SetEvent(stream.opened.get());
    if (!stream.streamOpen) return 0;
    WaitForSingleObject(stream.go.get(), INFINITE);
    if (stream.ending.load()) return 0;
    playStream(objects, *stream.mixer, objects.shape, objects.unheard, stream.ending);
    return 0;
}

// A voice started while the render thread sleeps.
void wakeStream(void* stream) { SetEvent(static_cast<StreamThread*>(stream)->periodEvent.get()); }

void endStream(std::unique_ptr<StreamThread> stream) {
    if (!stream || !stream->thread) return;
    stream->ending = true;
    SetEvent(stream->go.get());
    SetEvent(stream->periodEvent.get());
    WaitForSingleObject(stream->thread.get(), INFINITE);
}

// A render thread that has opened its stream on the endpoint and waits for
// its turn to render; its streamOpen is false when it could not.
std::unique_ptr<StreamThread> openStreamThread(LowLatencyOutput& on, const std::string& endpointId) {
    auto stream = std::make_unique<StreamThread>();
    stream->endpointId = endpointId;
    stream->mixer = on.mixer.get();
    stream->generation = ++on.lastGeneration;
    stream->periodEvent.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    stream->opened.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    stream->go.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (stream->periodEvent && stream->opened && stream->go)
        stream->thread.reset(CreateThread(nullptr, 0, renderThread, stream.get(), 0, nullptr));
    if (stream->thread) {
        // The thread signals once it knows; should it end without a word, its end counts as a failure.
        HANDLE answers[] = {stream->opened.get(), stream->thread.get()};
        WaitForMultipleObjects(2, answers, FALSE, INFINITE);
    }
    return stream;
}

// The stream that renders now ends before the next one starts: one mixer,
// one thread rendering it at a time.
bool switchTo(LowLatencyOutput& on, std::unique_ptr<StreamThread> next) {
    if (!next->thread || !next->streamOpen) {
        endStream(std::move(next));
        return false;
    }
    endStream(std::move(on.stream));
    // No render thread runs now: what wakes the next one can be set.
    on.mixer->awake();
    on.mixer->setWakeUp(wakeStream, next.get());
    SetEvent(next->go.get());
    on.stream = std::move(next);
    return true;
}

}  // namespace

bool openWasapiOutput(const std::string& endpointId) {
    closeWasapiOutput();
    auto opening = std::make_unique<LowLatencyOutput>();
    opening->mixer = std::make_unique<Mixer>(FirstLayout, MixPieceFrames);
    if (!switchTo(*opening, openStreamThread(*opening, endpointId))) return false;
    opening->endpoints.start();
    audioDevice = opening->mixer.get();
    output = std::move(opening);
    return true;
}

void closeWasapiOutput() {
    if (!output) return;
    output->endpoints.stop();
    endStream(std::move(output->stream));
    output.reset();  // no thread reads the mixer any more
}

bool moveLowLatencyStream(const std::string& endpointId) {
    return output && switchTo(*output, openStreamThread(*output, endpointId));
}

bool isCurrentLowLatencyStream(unsigned generation) {
    return output && output->stream && output->stream->generation == generation;
}

std::vector<OutputEndpoint> listOutputEndpoints() {
    return output ? output->endpoints.list() : std::vector<OutputEndpoint>();
}

bool lowLatencyOutputLayout(SampleLayout& layout) {
    if (!output || !output->stream) return false;
    layout = output->stream->layout;
    return true;
}

void recordLowLatencyOutput(FrameRing* ring) {
    if (output) output->mixer->recordInto(ring);
}
