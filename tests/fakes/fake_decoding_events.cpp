#include "fakes/fake_decoding_events.h"

#include "sound_files/decoding_events.h"

std::atomic<int> soundsDecodedTold{0};

void tellSoundDecoded() { ++soundsDecodedTold; }
