#include "fakes/fake_voice.h"

#include "fakes/call_log.h"

void FakeVoice::log(const std::string& call) { callLog.push_back(name + " " + call); }

SoundResult FakeVoice::Play(uint32_t, uint32_t, uint32_t flags) {
    log("Play " + std::to_string(flags));
    SoundResult result = DS_OK;
    if (!playResults.empty()) {
        result = playResults.front();
        playResults.erase(playResults.begin());
    }
    if (result == DS_OK) playing = true;
    return result;
}
SoundResult FakeVoice::Stop() {
    log("Stop");
    playing = false;
    return DS_OK;
}
SoundResult FakeVoice::SetCurrentPosition(uint32_t position) {
    log("SetCurrentPosition " + std::to_string(position));
    return DS_OK;
}
SoundResult FakeVoice::SetFrequency(uint32_t samplesPerSecond) {
    log("SetFrequency " + std::to_string(samplesPerSecond));
    frequency = samplesPerSecond;
    return DS_OK;
}
SoundResult FakeVoice::SetPan(int32_t value) {
    log("SetPan " + std::to_string(value));
    pan = value;
    return DS_OK;
}
SoundResult FakeVoice::SetVolume(int32_t level) {
    log("SetVolume " + std::to_string(level));
    volume = level;
    return DS_OK;
}
SoundResult FakeVoice::GetStatus(uint32_t* status) {
    ++statusQueries;
    *status = playing ? DSBSTATUS_PLAYING : 0;
    return statusResult;
}
SoundResult FakeVoice::SetFades(uint32_t fadeInMilliseconds, uint32_t fadeOutMilliseconds) {
    log("SetFades " + std::to_string(fadeInMilliseconds) + " " + std::to_string(fadeOutMilliseconds));
    fadeIn = fadeInMilliseconds;
    fadeOut = fadeOutMilliseconds;
    return DS_OK;
}
SoundResult FakeVoice::FadeOut() {
    log("FadeOut");
    if (fadeOut == 0) playing = false;
    return DS_OK;
}
SoundResult FakeVoice::Restore() {
    log("Restore");
    return restoreResult;
}
SoundResult FakeVoice::Lock(uint32_t, uint32_t, void** area, uint32_t* areaBytes, uint32_t flags) {
    log("Lock " + std::to_string(flags));
    if (lockResult != DS_OK) return lockResult;
    *area = memory.data();
    *areaBytes = static_cast<uint32_t>(memory.size());
    return DS_OK;
}
SoundResult FakeVoice::Unlock(void*, uint32_t areaBytes) {
    log("Unlock " + std::to_string(areaBytes));
    return DS_OK;
}
SoundResult FakeVoice::Release() {
    log("Release");
    released = true;
    playing = false;
    return DS_OK;
}
