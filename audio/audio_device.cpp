#include "audio/audio_device.h"

AudioDevice* audioDevice = nullptr;
