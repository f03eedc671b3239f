// The file of a recording, written through a handle of its own by the
// recording's writer thread.
#include "recording/recording_file.h"

#include <windows.h>
#include <algorithm>
#include <string>

#include "base/scoped_win32.h"

namespace {

// Every write says where it goes: appends at the end the file has reached,
// the header at the start.
bool writeAt(HANDLE file, uint64_t offset, const void* bytes, size_t count) {
    const auto* next = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, next, chunk, &written, &at) || written == 0) return false;
        offset += written;
        next += written;
        count -= written;
    }
    return true;
}

class WindowsRecordingFile : public RecordingFile {
public:
    WindowsRecordingFile(HANDLE file, const char* path) : handle(file), path(path) {}

    bool append(const void* bytes, size_t count) override {
        if (!writeAt(handle.get(), end, bytes, count)) return false;
        end += count;
        return true;
    }
    bool writeStart(const void* bytes, size_t count) override {
        end = std::max<uint64_t>(end, count);
        return writeAt(handle.get(), 0, bytes, count);
    }
    // A folder taken away while the file is open leaves writes that succeed
    // into a file no one will find (so it is on Linux under Wine): the file
    // must still be where it was made.
    bool keep() override {
        return FlushFileBuffers(handle.get()) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    ScopedHandle handle;
    const std::string path;
    uint64_t end = 0;
};

}  // namespace

std::unique_ptr<RecordingFile> createRecordingFile(const char* path) {
    // Others may read it while it grows: it is a valid WAV file at any moment.
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WindowsRecordingFile>(file, path);
}
