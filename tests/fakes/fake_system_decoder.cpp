#include "fakes/fake_system_decoder.h"

#include <mutex>

#include "sound_files/system_decoder.h"

FakeSystemDecoder fakeSystemDecoder;

namespace {
std::mutex askedLock;
std::vector<std::string> askedPaths;
}  // namespace

std::vector<std::string> FakeSystemDecoder::asked() const {
    std::lock_guard<std::mutex> held(askedLock);
    return askedPaths;
}

void FakeSystemDecoder::reset() {
    missing = false;
    sounds.clear();
    failures.clear();
    std::lock_guard<std::mutex> held(askedLock);
    askedPaths.clear();
}

WaveResult decodeWithSystem(const char* utf8Path, DecodedSound& sound) {
    {
        std::lock_guard<std::mutex> held(askedLock);
        askedPaths.push_back(utf8Path);
    }
    sound = DecodedSound();
    if (fakeSystemDecoder.missing) return DecoderErrorMissing;
    auto failure = fakeSystemDecoder.failures.find(utf8Path);
    if (failure != fakeSystemDecoder.failures.end()) return failure->second;
    auto found = fakeSystemDecoder.sounds.find(utf8Path);
    if (found == fakeSystemDecoder.sounds.end()) return DecoderErrorRefused;
    sound = found->second;
    return 0;
}
