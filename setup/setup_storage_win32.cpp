// Reading and replacing setup files.
#include "setup/setup_storage.h"

#include <windows.h>
#include <string>

#include "base/scoped_win32.h"
#include "setup/save_path.h"

namespace {

// The target must take a write now, or it would refuse the replacement later:
// an existing file opened for writing and shared with nobody; a missing one
// only for Save As, which makes it.
bool targetTakesWrite(const char* path, SaveTarget target) {
    ScopedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return true;
    return target == SaveTarget::AnyFile && GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The absolute wide form of an ANSI path, however many characters it takes.
bool fullWidePath(const char* path, std::wstring& full) {
    int wideLength = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (wideLength == 0) return false;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], wideLength) == 0) return false;
    DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return false;
    full.assign(length, L'\0');
    length = GetFullPathNameW(wide.c_str(), length, &full[0], nullptr);
    if (length == 0 || length >= full.size()) return false;
    full.resize(length);
    return true;
}

bool writeAll(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done);
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}

bool writeNewFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    ScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bool written = writeAll(file.get(), bytes);
    bool closed = file.close();
    return written && closed;
}

}  // namespace

bool readSetupFile(const char* path, size_t maxBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    ScopedHandle file(
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.resize(maxBytes);
    size_t got = 0;
    while (got < maxBytes) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(maxBytes - got), &read, nullptr) || read == 0)
            break;
        got += read;
    }
    bytes.resize(got);
    return true;
}

bool storeSetupFile(const char* path, SaveTarget target, const std::vector<uint8_t>& bytes) {
    if (!targetTakesWrite(path, target)) return false;
    std::wstring full;
    if (!fullWidePath(path, full)) return false;
    std::wstring destination = extendedLengthPath(full);
    std::wstring temporary = temporarySavePath(destination);
    if (writeNewFile(temporary, bytes) &&
        MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}
