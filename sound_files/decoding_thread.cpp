#include "sound_files/decoding_thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "sound_files/decoding_events.h"

namespace {

struct DecodingJob {
    uint32_t ticket;
    std::string path;
};

struct DecodingThread {
    std::mutex lock;
    std::condition_variable asked;
    std::deque<DecodingJob> jobs;     // under lock
    std::deque<DecodedJob> finished;  // under lock
    bool ending = false;              // under lock
    SoundDecoder decoder = nullptr;   // set by the program's thread while no thread runs
    std::thread thread;               // the program's thread's
};

DecodingThread decoding;

bool nextJob(DecodingJob& job) {
    std::unique_lock<std::mutex> held(decoding.lock);
    decoding.asked.wait(held, [] { return decoding.ending || !decoding.jobs.empty(); });
    if (decoding.ending) return false;
    job = std::move(decoding.jobs.front());
    decoding.jobs.pop_front();
    return true;
}

void decodeJobs() {
    DecodingJob job;
    while (nextJob(job)) {
        DecodedJob done;
        done.ticket = job.ticket;
        done.result = decoding.decoder(job.path.c_str(), done.sound);
        if (done.result != 0) done.sound = DecodedSound{};
        {
            std::lock_guard<std::mutex> held(decoding.lock);
            decoding.finished.push_back(std::move(done));
        }
        tellSoundDecoded();
    }
}

}  // namespace

void setSoundDecoder(SoundDecoder decoder) {
    stopDecodingThread();
    decoding.decoder = decoder;
}

void askToDecode(uint32_t ticket, const std::string& path) {
    if (!decoding.decoder) return;
    {
        std::lock_guard<std::mutex> held(decoding.lock);
        decoding.jobs.push_back({ticket, path});
    }
    if (!decoding.thread.joinable()) decoding.thread = std::thread(decodeJobs);
    decoding.asked.notify_one();
}

void forgetDecodingJobs() {
    std::lock_guard<std::mutex> held(decoding.lock);
    decoding.jobs.clear();
    decoding.finished.clear();
}

bool takeDecodedSound(DecodedJob& job) {
    std::lock_guard<std::mutex> held(decoding.lock);
    if (decoding.finished.empty()) return false;
    job = std::move(decoding.finished.front());
    decoding.finished.pop_front();
    return true;
}

void stopDecodingThread() {
    if (decoding.thread.joinable()) {
        {
            std::lock_guard<std::mutex> held(decoding.lock);
            decoding.ending = true;
        }
        decoding.asked.notify_one();
        decoding.thread.join();
    }
    std::lock_guard<std::mutex> held(decoding.lock);
    decoding.ending = false;
    decoding.jobs.clear();
    decoding.finished.clear();
}
