#include "library/sound_directory.h"

char soundDirectory[PathCapacity] = "";
char soundDirectoryTitle[PathCapacity] = "";
