// The dialog recorded as "dialog record to wav", the file made as "file create <path>".
#include "fakes/fake_recording_file.h"

#include <algorithm>
#include <cstdio>

#include "fakes/call_log.h"
#include "flows/recording_dialog.h"
#include "recording/recording_events.h"
#include "recording/recording_file.h"

FakeRecordingFile fakeRecordingFile;

void FakeRecordingFile::reset() {
    chosenPath.clear();
    whileAsking = nullptr;
    creationFails = false;
    appendsFail = false;
    gone = false;
    endedTold = 0;
    createdPath.clear();
    afterAppend = nullptr;
    headersWritten = 0;
    std::lock_guard<std::mutex> lock(guard);
    written.clear();
}

namespace {

class MemoryFile : public RecordingFile {
public:
    bool append(const void* bytes, size_t count) override {
        if (fakeRecordingFile.appendsFail) return false;
        {
            std::lock_guard<std::mutex> lock(fakeRecordingFile.guard);
            const auto* from = static_cast<const uint8_t*>(bytes);
            fakeRecordingFile.written.insert(fakeRecordingFile.written.end(), from, from + count);
        }
        if (fakeRecordingFile.afterAppend) fakeRecordingFile.afterAppend();
        return true;
    }
    bool writeStart(const void* bytes, size_t count) override {
        std::lock_guard<std::mutex> lock(fakeRecordingFile.guard);
        std::vector<uint8_t>& written = fakeRecordingFile.written;
        if (written.size() < count) written.resize(count);
        std::copy_n(static_cast<const uint8_t*>(bytes), count, written.begin());
        ++fakeRecordingFile.headersWritten;
        return true;
    }
    bool keep() override { return !fakeRecordingFile.gone; }
};

}  // namespace

std::unique_ptr<RecordingFile> createRecordingFile(const char* path) {
    callLog.push_back(std::string("file create ") + path);
    if (fakeRecordingFile.creationFails) return nullptr;
    fakeRecordingFile.createdPath = path;
    return std::make_unique<MemoryFile>();
}

bool askRecordingPath(char path[PathCapacity]) {
    callLog.push_back("dialog record to wav");
    if (fakeRecordingFile.whileAsking) fakeRecordingFile.whileAsking();
    std::snprintf(path, PathCapacity, "%s", fakeRecordingFile.chosenPath.c_str());
    return !fakeRecordingFile.chosenPath.empty();
}

void tellRecordingEnded() { ++fakeRecordingFile.endedTold; }
