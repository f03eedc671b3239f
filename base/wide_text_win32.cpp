#include "base/wide_text_win32.h"

bool wideToProgramText(const WCHAR* wide, char* text, int capacity) {
    // UTF-8 writes every character, and takes neither the best-fit flag nor
    // the default-character check; a lone surrogate it would write as U+FFFD.
    if (GetACP() == CP_UTF8)
        return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, text, capacity, nullptr, nullptr) != 0;
    BOOL defaultUsed = FALSE;
    int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, text, capacity, nullptr, &defaultUsed);
    return written != 0 && !defaultUsed;
}

bool programTextToWide(const char* text, std::wstring& wide) {
    wide.clear();
    int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) return false;
    wide.resize(static_cast<size_t>(length));
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length) != length) return false;
    wide.resize(static_cast<size_t>(length - 1));
    return true;
}
