// Texts of the system's legacy ANSI code page.
#include "setup/legacy_code_page.h"

#include <windows.h>

#include "base/wide_text_win32.h"

bool convertFromLegacyCodePage(const char* legacy, char text[PathCapacity]) {
    // GetACP() gives UTF-8 under the manifest: the legacy code page is the
    // system locale's. (Wine 8 refuses the locale's name form,
    // LOCALE_NAME_SYSTEM_DEFAULT, with GetLocaleInfoEx; this form both take.)
    DWORD legacyCodePage = CP_ACP;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&legacyCodePage), sizeof legacyCodePage / sizeof(WCHAR)) == 0)
        return false;
    // A locale of Unicode alone has no legacy code page (CP_ACP).
    if (legacyCodePage == CP_ACP || legacyCodePage == GetACP()) return false;
    WCHAR wide[PathCapacity];
    if (MultiByteToWideChar(legacyCodePage, MB_ERR_INVALID_CHARS, legacy, -1, wide, PathCapacity) == 0) return false;
    char converted[PathCapacity];
    if (!wideToProgramText(wide, converted, PathCapacity)) return false;
    lstrcpynA(text, converted, PathCapacity);
    return true;
}
