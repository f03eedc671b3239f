#include "setup/save_path.h"

namespace {

const wchar_t TemporarySuffix[] = L".saving";
const wchar_t ExtendedPrefix[] = L"\\\\?\\";
const wchar_t ExtendedUncPrefix[] = L"\\\\?\\UNC\\";

bool startsWith(const std::wstring& text, const wchar_t* start) { return text.rfind(start, 0) == 0; }

}  // namespace

std::wstring temporarySavePath(const std::wstring& target) { return target + TemporarySuffix; }

std::wstring extendedLengthPath(const std::wstring& absolute) {
    if (startsWith(absolute, ExtendedPrefix)) return absolute;
    if (startsWith(absolute, L"\\\\")) return ExtendedUncPrefix + absolute.substr(2);
    return ExtendedPrefix + absolute;
}
