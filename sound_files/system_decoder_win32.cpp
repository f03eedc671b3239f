#include "sound_files/system_decoder.h"

#include <windows.h>
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <cstring>
#include <string>
#include <vector>

#include "base/scoped_win32.h"
#include "base/wide_text_win32.h"
#include "sound_files/decoded_frames.h"
#include "sound_files/mp3_gapless.h"
#include "sound_files/sample_format.h"

namespace {

using StartupCall = HRESULT(WINAPI*)(ULONG, DWORD);
using ShutdownCall = HRESULT(WINAPI*)();
using CreateMediaTypeCall = HRESULT(WINAPI*)(IMFMediaType**);
using CreateSourceReaderCall = HRESULT(WINAPI*)(LPCWSTR, IMFAttributes*, IMFSourceReader**);

constexpr DWORD FirstAudioStream = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
constexpr DWORD AllStreams = static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS);
// More channels than any layout names: such a stream is no sound to mix down.
constexpr UINT32 MostChannels = 32;

struct MediaFoundation {
    StartupCall startup = nullptr;
    ShutdownCall shutdown = nullptr;
    CreateMediaTypeCall createMediaType = nullptr;
    CreateSourceReaderCall createSourceReader = nullptr;

    bool present() const { return startup && shutdown && createMediaType && createSourceReader; }
};

template <typename Call>
Call procedure(HMODULE library, const char* name) {
    return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

MediaFoundation loadMediaFoundation() {
    MediaFoundation found;
    HMODULE platform = LoadLibraryExW(L"mfplat.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    HMODULE readWrite = LoadLibraryExW(L"mfreadwrite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!platform || !readWrite) return found;
    found.startup = procedure<StartupCall>(platform, "MFStartup");
    found.shutdown = procedure<ShutdownCall>(platform, "MFShutdown");
    found.createMediaType = procedure<CreateMediaTypeCall>(platform, "MFCreateMediaType");
    found.createSourceReader = procedure<CreateSourceReaderCall>(readWrite, "MFCreateSourceReaderFromURL");
    return found;
}

// Media Foundation is loaded at the first decode, not linked, so that the
// program starts on Windows N editions, which lack it. The libraries are kept
// for the whole run, never freed: its work queues may still be winding down
// after a decode. A function-local static, so concurrent first calls load once.
const MediaFoundation& mediaFoundation() {
    static const MediaFoundation loaded = loadMediaFoundation();
    return loaded;
}

// Media Foundation started for one decode and shut down after it. Each start
// is counted, so decodes on several threads each hold their own, and no start
// outlives the decode, to be shut down at an exit whose order no one controls.
class StartedMediaFoundation {
public:
    explicit StartedMediaFoundation(const MediaFoundation& calls)
        : calls(calls), started(SUCCEEDED(calls.startup(MF_VERSION, MFSTARTUP_NOSOCKET))) {}
    StartedMediaFoundation(const StartedMediaFoundation&) = delete;
    StartedMediaFoundation& operator=(const StartedMediaFoundation&) = delete;
    ~StartedMediaFoundation() {
        if (started) calls.shutdown();
    }

    const MediaFoundation& calls;
    const bool started;
};

struct StreamShape {
    UINT32 channels = 0;
    UINT32 rate = 0;
    UINT32 channelMask = 0;
};

bool isMissingFile(HRESULT result) {
    return result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) ||
           result == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) || result == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
}

// The bits of the file's own samples; none said (a compressed stream may not
// tell) counts as 16.
UINT32 sourceBits(IMFSourceReader* reader) {
    ScopedComPtr<IMFMediaType> native;
    UINT32 bits = 0;
    if (FAILED(reader->GetNativeMediaType(FirstAudioStream, 0, native.out())) ||
        FAILED(native->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits)) || bits == 0)
        return 16;
    return bits;
}

WaveResult askForFloat(const MediaFoundation& calls, IMFSourceReader* reader) {
    ScopedComPtr<IMFMediaType> wanted;
    if (FAILED(calls.createMediaType(wanted.out()))) return WaveErrorNoMemory;
    if (FAILED(wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) ||
        FAILED(wanted->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_Float)))
        return WaveErrorNoMemory;
    reader->SetStreamSelection(AllStreams, FALSE);
    if (FAILED(reader->SetStreamSelection(FirstAudioStream, TRUE))) return DecoderErrorRefused;
    if (FAILED(reader->SetCurrentMediaType(FirstAudioStream, nullptr, wanted.get()))) return DecoderErrorRefused;
    return 0;
}

// What the reader gives now: float frames, in a shape a sound buffer plays.
WaveResult readShape(IMFSourceReader* reader, StreamShape& shape) {
    ScopedComPtr<IMFMediaType> current;
    GUID subtype{};
    UINT32 bits = 0;
    if (FAILED(reader->GetCurrentMediaType(FirstAudioStream, current.out())) ||
        FAILED(current->GetGUID(MF_MT_SUBTYPE, &subtype)) || subtype != MFAudioFormat_Float ||
        FAILED(current->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits)) || bits != 32)
        return DecoderErrorRefused;
    if (FAILED(current->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &shape.channels)) ||
        FAILED(current->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &shape.rate)))
        return DecoderErrorRefused;
    if (FAILED(current->GetUINT32(MF_MT_AUDIO_CHANNEL_MASK, &shape.channelMask))) shape.channelMask = 0;
    if (shape.channels < 1 || shape.channels > MostChannels || shape.rate < LowestRate || shape.rate > HighestRate)
        return WaveErrorNotWave;
    return 0;
}

WaveResult appendSample(IMFSample* sample, const FrameMix& mix, std::vector<float>& frames, DecodedSound& sound) {
    ScopedComPtr<IMFMediaBuffer> buffer;
    if (FAILED(sample->ConvertToContiguousBuffer(buffer.out()))) return WaveErrorCorrupt;
    size_t count = 0;
    {
        ScopedBufferLock<IMFMediaBuffer> lock(buffer.get());
        if (!lock.bytes()) return WaveErrorCorrupt;
        size_t frameBytes = sizeof(float) * mix.channels;
        count = lock.size() / frameBytes;
        frames.resize(count * mix.channels);
        if (count != 0) std::memcpy(frames.data(), lock.bytes(), count * frameBytes);
    }
    std::vector<const float*> channelStarts(mix.channels);
    for (size_t c = 0; c < channelStarts.size(); ++c) channelStarts[c] = frames.data() + c;
    return appendDecodedFrames(mix, channelStarts.data(), mix.channels, count, sound);
}

WaveResult readAllSamples(IMFSourceReader* reader, const StreamShape& shape, DecodedSound& sound) {
    FrameMix mix = waveFrameMix(static_cast<uint16_t>(shape.channels), shape.channelMask);
    std::vector<float> frames;
    for (;;) {
        DWORD flags = 0;
        ScopedComPtr<IMFSample> sample;
        if (FAILED(reader->ReadSample(FirstAudioStream, 0, nullptr, &flags, nullptr, sample.out())) ||
            (flags & MF_SOURCE_READERF_ERROR))
            return WaveErrorCorrupt;
        if (flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED) {
            StreamShape changed;
            if (WaveResult result = readShape(reader, changed)) return result;
            // A sound of one rate and one layout, or none.
            if (changed.channels != shape.channels || changed.rate != shape.rate) return DecoderErrorRefused;
        }
        if (sample)
            if (WaveResult result = appendSample(sample.get(), mix, frames, sound)) return result;
        if (flags & MF_SOURCE_READERF_ENDOFSTREAM) return 0;
    }
}

// The first frame of the file, after any ID3v2 tag; empty when it cannot be read.
std::vector<uint8_t> firstFrame(const std::wstring& path) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<uint8_t> bytes(Mp3FirstFrameBytes);
    DWORD got = 0;
    if (!file || !ReadFile(file.get(), bytes.data(), 10, &got, nullptr)) return {};
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(id3TagBytes(bytes.data(), got));
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        return {};
    bytes.resize(got);
    return bytes;
}

// An MP3 keeps exactly the encoder's samples, where the decoder gave more.
void trimToEncodedFrames(const std::wstring& path, DecodedSound& sound) {
    std::vector<uint8_t> frame = firstFrame(path);
    Mp3Gapless gapless;
    uint64_t first = 0;
    uint64_t count = 0;
    if (readMp3Gapless(frame.data(), frame.size(), gapless) &&
        encodedFrames(gapless, decodedFrameCount(sound), first, count))
        keepDecodedFrames(first, count, sound);
}

WaveResult decode(const MediaFoundation& calls, const std::wstring& path, DecodedSound& sound) {
    ScopedComPtr<IMFSourceReader> reader;
    HRESULT opened = calls.createSourceReader(path.c_str(), nullptr, reader.out());
    if (FAILED(opened)) return isMissingFile(opened) ? WaveErrorCannotOpen : DecoderErrorRefused;
    UINT32 bits = sourceBits(reader.get());
    if (WaveResult result = askForFloat(calls, reader.get())) return result;
    StreamShape shape;
    if (WaveResult result = readShape(reader.get(), shape)) return result;
    FrameMix mix = waveFrameMix(static_cast<uint16_t>(shape.channels), shape.channelMask);
    startDecodedSound(shape.rate, mix, bits > 16 ? SampleEncoding::Float32 : SampleEncoding::Signed16, sound);
    if (WaveResult result = readAllSamples(reader.get(), shape, sound)) return result;
    trimToEncodedFrames(path, sound);
    return 0;
}

}  // namespace

WaveResult decodeWithSystem(const char* utf8Path, DecodedSound& sound) {
    sound = DecodedSound();
    const MediaFoundation& calls = mediaFoundation();
    if (!calls.present()) return DecoderErrorMissing;
    std::wstring path;
    if (!programTextToWide(utf8Path, path)) return WaveErrorCannotOpen;
    // The decoding thread's own apartment; where the thread has another
    // already, Media Foundation's calls work in that one.
    ScopedComLibrary com(COINIT_MULTITHREADED);
    StartedMediaFoundation started(calls);
    if (!started.started) return DecoderErrorMissing;
    WaveResult result = decode(calls, path, sound);
    if (result != 0) sound = DecodedSound();
    return result;
}
