// The system's decoders as a map of paths to the sounds they decode to; a
// path not in it is a file the system cannot read. Or no system decoder at
// all, as on Windows N editions. It is called on the decoding thread, so the
// paths it was asked for are kept apart from the call log, under a lock.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "sound_files/decoded_sound.h"

struct FakeSystemDecoder {
    bool missing = false;                        // no Media Foundation
    std::map<std::string, DecodedSound> sounds;  // path -> its samples
    std::map<std::string, WaveResult> failures;  // path -> the code its decode gives
    std::vector<std::string> asked() const;      // the paths decoded, in order
    void reset();
};

extern FakeSystemDecoder fakeSystemDecoder;
