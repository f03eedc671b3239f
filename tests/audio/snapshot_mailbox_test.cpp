// The hand-off of a record from one thread to another without a lock.
#include "audio/snapshot_mailbox.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "support/program_test.h"

namespace {

// Every field derived from one number, so that a copy mixing two records shows.
struct Record {
    uint32_t number = 0;
    uint64_t twice = 0;
    float third = 0.0f;
    bool odd = false;
};

Record recordOf(uint32_t n) { return {n, uint64_t{n} * 2, static_cast<float>(n) / 3.0f, (n & 1u) != 0}; }

class HandingOverSettings : public ProgramTest {};

TEST_F(HandingOverSettings, EveryCopyTakenIsWholeAndNoneIsOlderThanTheOneBefore) {
    SnapshotMailbox<Record> mailbox;
    constexpr uint32_t Last = 200000;
    std::atomic<bool> written{false};
    uint32_t taken = 0, torn = 0, mixed = 0, older = 0, last = 0;
    std::thread reader([&] {
        Record copy;
        for (;;) {
            bool finished = written.load();
            if (mailbox.take(copy)) {
                ++taken;
                const Record expected = recordOf(copy.number);
                if (copy.twice != expected.twice || copy.third != expected.third || copy.odd != expected.odd) ++mixed;
                if (copy.number < last) ++older;
                last = copy.number;
            } else {
                ++torn;
            }
            if (finished && last == Last) break;
        }
    });
    for (uint32_t n = 1; n <= Last; ++n) mailbox.publish(recordOf(n));
    written = true;
    reader.join();
    EXPECT_EQ(mixed, 0u);
    EXPECT_EQ(older, 0u);
    EXPECT_EQ(last, Last) << "the last change was lost";
    EXPECT_GT(taken, 0u);
    (void)torn;  // as many as the scheduling gives: each is retried, never waited for
}

}  // namespace
