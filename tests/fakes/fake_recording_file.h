// The recording's file held in memory, the Record to WAV dialog answering
// from a script, and the writer's word that it ended, counted. The file is
// written on the writer's thread: read it through bytes().
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct FakeRecordingFile {
    std::string chosenPath;                // the dialog's answer; "" cancels it
    std::function<void()> whileAsking;     // what happens while the dialog is up
    bool creationFails = false;            // the file cannot be made
    std::atomic<bool> appendsFail{false};  // the disk is full
    std::atomic<bool> gone{false};         // its folder has been taken away
    std::atomic<int> endedTold{0};
    std::string createdPath;
    // Called on the writer's thread after each append, as the render thread
    // goes on while the disk writes. Set it before the ring gets a frame.
    std::function<void()> afterAppend;
    std::atomic<int> headersWritten{0};

    std::vector<uint8_t> bytes() const {
        std::lock_guard<std::mutex> lock(guard);
        return written;
    }
    void reset();

    mutable std::mutex guard;
    std::vector<uint8_t> written;  // guarded
};

extern FakeRecordingFile fakeRecordingFile;
