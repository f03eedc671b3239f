// The system's legacy code page: Windows-1252, as on a Western system, whose
// letters from A0 on are those of Latin-1. Or, as on a Windows that ignores
// the program's manifest, the code page the program speaks itself.
#pragma once

struct FakeLegacyCodePage {
    bool isActiveCodePage = false;
    void reset() { *this = FakeLegacyCodePage(); }
};

extern FakeLegacyCodePage fakeLegacyCodePage;
