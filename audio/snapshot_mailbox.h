// One writer thread hands a small record to one reader thread without a lock
// either could hold: the writer publishes whole copies under a sequence number
// that is odd while it writes; the reader takes a copy only when the number
// was even and the same before and after its reading. A reader that meets a
// copy being written keeps the one it took before and tries again next time,
// so it never waits for the writer, whatever the writer's priority.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename Record>
class SnapshotMailbox {
    static_assert(std::is_trivially_copyable_v<Record>, "copied word by word");

public:
    explicit SnapshotMailbox(const Record& first = Record()) { publish(first); }

    // The writer's thread only.
    void publish(const Record& record) {
        uint32_t words[WordCount] = {};
        std::memcpy(words, &record, sizeof record);
        uint32_t odd = sequence.load(std::memory_order_relaxed) + 1;
        sequence.store(odd, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        for (size_t i = 0; i < WordCount; ++i) stored[i].store(words[i], std::memory_order_relaxed);
        sequence.store(odd + 1, std::memory_order_release);
    }

    // The reader's thread only. False, and the copy untouched, when the writer
    // was in the middle of a publish.
    bool take(Record& copy) const {
        uint32_t before = sequence.load(std::memory_order_acquire);
        if (before & 1u) return false;
        uint32_t words[WordCount];
        for (size_t i = 0; i < WordCount; ++i) words[i] = stored[i].load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence.load(std::memory_order_relaxed) != before) return false;
        std::memcpy(&copy, words, sizeof copy);
        return true;
    }

private:
    static constexpr size_t WordCount = (sizeof(Record) + sizeof(uint32_t) - 1) / sizeof(uint32_t);
    std::atomic<uint32_t> sequence{0};
    std::atomic<uint32_t> stored[WordCount] = {};
};
