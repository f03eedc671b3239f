// Names a save uses beside its target file.
#pragma once
#include <string>

// The file a save writes before it replaces the target: the target's own name
// and a suffix, in the same folder, so that putting it in place is a rename.
std::wstring temporarySavePath(const std::wstring& target);

// The form of an absolute path that Windows' wide file functions take beyond
// 259 characters ("\\?\C:\..." or "\\?\UNC\server\share\..."). A target of 259
// characters with the suffix is longer than that.
std::wstring extendedLengthPath(const std::wstring& absolute);
