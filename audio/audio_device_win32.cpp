#include "audio/audio_device.h"

bool openAudioDevice() { return false; }
