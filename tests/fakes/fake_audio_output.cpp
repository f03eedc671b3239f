#include "fakes/fake_audio_output.h"

#include "fakes/call_log.h"
#include "sound_files/wave_format.h"

FakeAudio fakeAudio;

void FakeAudio::reset() {
    lowLatencyOpens = true;
    directSoundOpens = true;
    absentEndpoints.clear();
    endpoints.clear();
    open.reset();
    endpoint.clear();
    retryScheduled = false;
    lowLatencyLayout = {SampleEncoding::Float32, 2, 8, 48000};
    recordingRing = nullptr;
    device.buffers.clear();
    device.createResult = DS_OK;
    device.duplicateResult = DS_OK;
    device.refusedFormatTag = 0;
    device.newBufferLockResult = DS_OK;
    audioDevice = nullptr;
}

bool openAudioOutput(AudioOutput output, const std::string& endpointId) {
    bool lowLatency = output == AudioOutput::LowLatency;
    callLog.push_back(lowLatency ? "output open low-latency" + (endpointId.empty() ? "" : " " + endpointId)
                                 : "output open directsound");
    if (!(lowLatency ? fakeAudio.lowLatencyOpens : fakeAudio.directSoundOpens)) return false;
    if (lowLatency && fakeAudio.absentEndpoints.count(endpointId)) return false;
    fakeAudio.open = output;
    fakeAudio.endpoint = lowLatency ? endpointId : "";
    audioDevice = &fakeAudio.device;
    return true;
}

bool moveLowLatencyStream(const std::string& endpointId) {
    callLog.push_back("output move " + (endpointId.empty() ? std::string("default") : endpointId));
    if (fakeAudio.open != AudioOutput::LowLatency || fakeAudio.absentEndpoints.count(endpointId)) return false;
    fakeAudio.endpoint = endpointId;
    return true;
}

void scheduleOutputRetry(bool on) {
    callLog.push_back(on ? "output retry on" : "output retry off");
    fakeAudio.retryScheduled = on;
}

std::vector<OutputEndpoint> listOutputEndpoints() {
    return fakeAudio.open == AudioOutput::LowLatency ? fakeAudio.endpoints : std::vector<OutputEndpoint>();
}

bool lowLatencyOutputLayout(SampleLayout& layout) {
    if (fakeAudio.open != AudioOutput::LowLatency) return false;
    layout = fakeAudio.lowLatencyLayout;
    return true;
}

void recordLowLatencyOutput(FrameRing* ring) {
    callLog.push_back(ring ? "output record on" : "output record off");
    fakeAudio.recordingRing = ring;
}

void closeAudioOutput() {
    callLog.push_back("output close");
    fakeAudio.open.reset();
    audioDevice = nullptr;
}

SoundResult FakeAudioDevice::CreateSoundBuffer(const SoundBufferDesc& desc, Voice** buffer) {
    callLog.push_back("device CreateSoundBuffer " + std::to_string(desc.bufferBytes));
    lastFlags = desc.flags;
    lastBufferBytes = desc.bufferBytes;
    lastFormatTag = desc.format ? desc.format->formatTag : 0;
    if (createResult != DS_OK) return createResult;
    if (refusedFormatTag != 0 && lastFormatTag == refusedFormatTag) return static_cast<SoundResult>(0x88780032u);
    buffers.push_back(std::make_unique<FakeVoice>("buffer" + std::to_string(buffers.size()), desc.bufferBytes));
    buffers.back()->lockResult = newBufferLockResult;
    *buffer = buffers.back().get();
    return DS_OK;
}

SoundResult FakeAudioDevice::DuplicateSoundBufferPart(Voice* original, uint32_t startMilliseconds,
                                                      uint32_t endMilliseconds, Voice** duplicate) {
    auto* source = static_cast<FakeVoice*>(original);
    callLog.push_back("device DuplicateSoundBufferPart " + (source ? source->name : std::string("none")) + " " +
                      std::to_string(startMilliseconds) + " " + std::to_string(endMilliseconds));
    if (duplicateResult != DS_OK || !source) return duplicateResult != DS_OK ? duplicateResult : -1;
    if (endMilliseconds != 0 && endMilliseconds <= startMilliseconds) return DSERR_INVALIDPARAM;
    buffers.push_back(std::make_unique<FakeVoice>(source->name + ".part" + std::to_string(buffers.size())));
    *duplicate = buffers.back().get();
    return DS_OK;
}

SoundResult FakeAudioDevice::DuplicateSoundBuffer(Voice* original, Voice** duplicate) {
    auto* source = static_cast<FakeVoice*>(original);
    callLog.push_back("device DuplicateSoundBuffer " + (source ? source->name : std::string("none")));
    if (duplicateResult != DS_OK || !source) return duplicateResult != DS_OK ? duplicateResult : -1;
    buffers.push_back(std::make_unique<FakeVoice>(source->name + ".voice" + std::to_string(buffers.size())));
    *duplicate = buffers.back().get();
    return DS_OK;
}
