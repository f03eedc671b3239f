// Platform seam: the WAV file a recording is written to. Defined in
// recording/recording_file_win32.cpp, faked in tests.
#pragma once
#include <cstddef>
#include <memory>

// Used by the recording's writer thread alone.
class RecordingFile {
public:
    virtual ~RecordingFile() = default;  // closes the file
    // Appends the bytes at the end; false when not all of them were written.
    virtual bool append(const void* bytes, size_t count) = 0;
    // Writes over the file's first bytes, its header; appends go on at the end.
    virtual bool writeStart(const void* bytes, size_t count) = 0;
    // What was written is put on the disk. False when the file cannot be kept:
    // its disk, its volume or its folder has gone.
    virtual bool keep() = 0;
};

// The file made empty, replacing one of that name; empty when it cannot be made.
std::unique_ptr<RecordingFile> createRecordingFile(const char* path);
