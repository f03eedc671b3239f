// The sound directory: the folder whose WAV files are the sounds.
#pragma once

#include "base/text_sizes.h"

extern char soundDirectory[PathCapacity];       // absolute, no trailing separator but for a root
extern char soundDirectoryTitle[PathCapacity];  // its last component, shown in the title
