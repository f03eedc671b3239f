#include "fakes/fake_system_decoder.h"

#include "fakes/call_log.h"
#include "sound_files/system_decoder.h"

FakeSystemDecoder fakeSystemDecoder;

WaveResult decodeWithSystem(const char* utf8Path, DecodedSound& sound) {
    callLog.push_back(std::string("system decode ") + utf8Path);
    sound = DecodedSound();
    if (fakeSystemDecoder.missing) return DecoderErrorMissing;
    auto failure = fakeSystemDecoder.failures.find(utf8Path);
    if (failure != fakeSystemDecoder.failures.end()) return failure->second;
    auto found = fakeSystemDecoder.sounds.find(utf8Path);
    if (found == fakeSystemDecoder.sounds.end()) return DecoderErrorRefused;
    sound = found->second;
    return 0;
}
