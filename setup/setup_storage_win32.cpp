// Reading and replacing setup files.
#include <windows.h>

#include <cstring>

#include "setup/setup_storage.h"

namespace {

// The target must take a write now, or it would refuse the replacement later:
// an existing file opened for writing and shared with nobody; a missing one
// only for Save As, which makes it.
bool targetTakesWrite(const char* path, SaveTarget target) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    return target == SaveTarget::AnyFile && GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The folder part of the path, its last separator kept so that a drive root
// stays a root ("C:\").
void folderOf(const char* path, char folder[MAX_PATH]) {
    size_t end = 0;
    for (size_t i = 0; path[i] && i < MAX_PATH - 1; ++i)
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') end = i + 1;
    if (end == 0) {
        std::strcpy(folder, ".");
        return;
    }
    std::memcpy(folder, path, end);
    folder[end] = '\0';
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

bool writeNewFile(const char* path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = writeAll(file, bytes);
    bool closed = CloseHandle(file) != 0;
    return written && closed;
}

}  // namespace

bool readSetupFile(const char* path, size_t maxBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.resize(maxBytes);
    size_t got = 0;
    while (got < maxBytes) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(maxBytes - got), &read, nullptr) || read == 0) break;
        got += read;
    }
    bytes.resize(got);
    CloseHandle(file);
    return true;
}

bool storeSetupFile(const char* path, SaveTarget target, const std::vector<uint8_t>& bytes) {
    if (!targetTakesWrite(path, target)) return false;
    char folder[MAX_PATH];
    folderOf(path, folder);
    char temporary[MAX_PATH];
    // Made in the target's own folder so that the replacement is a rename.
    if (GetTempFileNameA(folder, "qpd", 0, temporary) == 0) return false;
    if (writeNewFile(temporary, bytes) &&
        MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary);
    return false;
}
