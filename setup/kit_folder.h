// Kits that travel: a setup file moved or unzipped elsewhere together with its
// sound folder still finds that folder, although it stores the old place.
#pragma once

#include "base/text_sizes.h"

// The folder named like the stored folder's last component, in the setup
// file's own folder: "D:\Kits\live.qpd" with "C:\Old\Drums" gives
// "D:\Kits\Drums". False when the stored folder has no last name (a root),
// the setup path names no folder, or the result would not fit.
bool folderBesideSetup(const char* setupPath, const char* storedFolder, char folder[PathCapacity]);
