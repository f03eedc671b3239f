// A scriptable voice that records every call as "<name> <method> <args>".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio/voice.h"

class FakeVoice : public Voice {
public:
    explicit FakeVoice(std::string name, uint32_t bytes = 0) : name(std::move(name)), memory(bytes) {}
    ~FakeVoice() override = default;

    SoundResult Play(uint32_t reserved1, uint32_t priority, uint32_t flags) override;
    SoundResult Stop() override;
    SoundResult SetCurrentPosition(uint32_t position) override;
    SoundResult SetFrequency(uint32_t samplesPerSecond) override;
    SoundResult SetPan(int32_t pan) override;
    SoundResult SetVolume(int32_t level) override;
    SoundResult GetStatus(uint32_t* status) override;
    SoundResult Restore() override;
    SoundResult Lock(uint32_t offset, uint32_t bytes, void** area, uint32_t* areaBytes, uint32_t flags) override;
    SoundResult Unlock(void* area, uint32_t areaBytes) override;
    SoundResult Release() override;
    SoundResult SetFades(uint32_t fadeInMilliseconds, uint32_t fadeOutMilliseconds) override;
    // Logged; the voice plays on until a test ends the fade (playing = false),
    // unless it has no fade-out.
    SoundResult FadeOut() override;

    std::string name;
    std::vector<uint8_t> memory;  // what Lock hands out
    // Scripted state and results.
    bool playing = false;
    SoundResult statusResult = DS_OK;
    std::vector<SoundResult> playResults;  // consumed front first; DS_OK when empty
    SoundResult restoreResult = DS_OK;
    SoundResult lockResult = DS_OK;
    bool released = false;
    int32_t volume = 0;
    uint32_t frequency = 0;
    int32_t pan = 0;
    uint32_t fadeIn = 0;
    uint32_t fadeOut = 0;
    int statusQueries = 0;  // GetStatus is not logged, only counted

private:
    void log(const std::string& call);
};
