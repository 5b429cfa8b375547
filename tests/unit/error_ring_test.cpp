// The error ring: folding of repeats, wrap-around, reading back and clearing.
#include "core/error_ring.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/error_calls.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

class ErrorRingTest : public LibraryTest {
protected:
    void SetUp() override { create({4}); }
    void fail_with(std::initializer_list<int32_t> codes) {
        for (int32_t c : codes) lib->report_error(c);
    }
    // get_err(n) as {result, code}.
    std::pair<int, int> err(int n) {
        int code = 12345;
        const int rc = get_err(*lib, n, &code);
        return {rc, code};
    }
    static std::pair<int, int> ok(int code) { return {0, code}; }
    static constexpr std::pair<int, int> kNone{-1, -1};
};

TEST_F(ErrorRingTest, StoreIsReadyAtLoad) {
    EXPECT_EQ(lib->errors.capacity(), ErrorRing::kCapacity);
    EXPECT_EQ(get_last_err(*lib), 0);
    EXPECT_EQ(err(1), kNone);
    fail_with({7});
    EXPECT_EQ(get_last_err(*lib), 7);
    EXPECT_EQ(lib->last_error, 7);
}

TEST_F(ErrorRingTest, ReadsBackNewestFirst) {
    fail_with({11, 12, 13});
    EXPECT_EQ(err(1), ok(13));
    EXPECT_EQ(err(2), ok(12));
    EXPECT_EQ(err(3), ok(11));
    EXPECT_EQ(err(4), kNone);
    EXPECT_EQ(err(0), kNone);
    EXPECT_EQ(err(11), kNone);
    EXPECT_EQ(err(-3), kNone);
}

TEST_F(ErrorRingTest, RepeatsFoldIntoOneRecord) {
    struct Row {
        std::vector<int32_t> codes;
        std::vector<std::pair<int, int>> expected;  // get_err(1), get_err(2), ...
        int32_t total;
    };
    const Row rows[] = {
        {{5, 6, 6, 6, 6, 6}, {ok(6), ok(5), kNone}, 2},
        {{1, 2, 2, 2}, {ok(2), ok(1), kNone}, 2},
        {{1, 2, 1}, {ok(1), ok(2), ok(1), kNone}, 3},
        {{9, 9}, {ok(9), kNone}, 1},
    };
    for (const Row& row : rows) {
        create({4});
        for (int32_t c : row.codes) lib->report_error(c);
        for (size_t i = 0; i < row.expected.size(); ++i)
            EXPECT_EQ(err(static_cast<int>(i) + 1), row.expected[i]) << "n=" << i + 1;
        EXPECT_EQ(lib->errors.total(), row.total);
    }
}

TEST_F(ErrorRingTest, ResetEmptiesTheRingButKeepsLastError) {
    fail_with({3, 4});
    EXPECT_EQ(reset_err(*lib), 0);
    EXPECT_EQ(get_last_err(*lib), 0);
    EXPECT_EQ(err(1), kNone);
    EXPECT_EQ(lib->last_error, 4);
    // The same code after a reset is a new record.
    fail_with({4});
    EXPECT_EQ(err(1), ok(4));
    EXPECT_EQ(err(2), kNone);
}

TEST_F(ErrorRingTest, WrapsAroundAfterOneHundredRecords) {
    for (int32_t c = 1; c <= 100; ++c) lib->report_error(c);
    EXPECT_EQ(lib->errors.write_index(), 0u);
    EXPECT_EQ(err(1), ok(100));
    EXPECT_EQ(get_last_err(*lib), 100);
    lib->report_error(101);
    EXPECT_EQ(err(1), ok(101));
    EXPECT_EQ(err(10), ok(92));
    EXPECT_EQ(lib->errors.write_index(), 1u);
    // A repeat right after the wrap rewrites the newest slot in place, across the ring's end.
    for (int32_t c = 102; c <= 200; ++c) lib->report_error(c);
    EXPECT_EQ(lib->errors.write_index(), 0u);
    lib->report_error(200);
    EXPECT_EQ(lib->errors.write_index(), 0u);
    EXPECT_EQ(err(1), ok(200));
    EXPECT_EQ(err(2), ok(199));
}

TEST_F(ErrorRingTest, RepeatCountStopsAt255) {
    fail_with({1});
    for (int i = 0; i < 300; ++i) lib->report_error(2);
    EXPECT_EQ(lib->errors.repeat_count(), 255);
    EXPECT_EQ(lib->errors.total(), 2);
    EXPECT_EQ(err(1), ok(2));
    EXPECT_EQ(err(2), ok(1));
}

TEST_F(ErrorRingTest, LaterPreparationAttachesZeroedStorageKeepingCounters) {
    fail_with({21, 22});
    lib->errors.prepare();
    EXPECT_EQ(lib->errors.total(), 2);
    EXPECT_EQ(lib->errors.write_index(), 2u);
    EXPECT_EQ(get_last_err(*lib), 0);
    EXPECT_EQ(err(1), ok(0));
    fail_with({23});
    EXPECT_EQ(err(1), ok(23));
}

TEST_F(ErrorRingTest, RingWithoutStorageIgnoresRecords) {
    ErrorRing ring;
    ring.record(5);
    int32_t code = 0;
    EXPECT_EQ(ring.read_recent(1, &code), -1);
    EXPECT_EQ(ring.read_newest(), 0);
    EXPECT_EQ(ring.total(), 0);
    ring.clear();
    EXPECT_EQ(ring.capacity(), 0u);
}

TEST_F(ErrorRingTest, NullCodePointerIsRefused) {
    EXPECT_EQ(get_err(*lib, 1, nullptr), -1);
    EXPECT_EQ(get_last_err(*lib), kErrBadParam);
}

}  // namespace
}  // namespace dravik::test
