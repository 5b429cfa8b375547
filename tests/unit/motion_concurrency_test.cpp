// Application threads calling moves, stops and queries while the polling thread runs: every call
// and every polling pass holds the library lock, so no request of one call lands inside another
// call's sequence. Run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "motion/changes.h"
#include "motion/moves.h"
#include "motion/stops.h"
#include "motion_support.h"
#include "status/status.h"

namespace dravik::test {
namespace {

// Forwards to a FakeDevice and notes which thread sent each request, in the fake's log order.
class TaggingDevice final : public Device {
public:
    explicit TaggingDevice(FakeDevice& fake) : fake_(fake) {}
    bool control(uint32_t code, const void* in, uint32_t in_len, void* out,
                 uint32_t out_len) override {
        std::lock_guard<std::mutex> guard(mutex_);
        tags_.push_back(std::this_thread::get_id());
        return fake_.control(code, in, in_len, out, out_len);
    }
    std::vector<std::thread::id> tags() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return tags_;
    }
    size_t count() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return tags_.size();
    }

private:
    FakeDevice& fake_;
    mutable std::mutex mutex_;
    std::vector<std::thread::id> tags_;
};

struct CallRange {
    std::thread::id thread;
    size_t begin, end;
    size_t expected;  // requests the call makes
};

TEST(MotionConcurrency, CallsAndPollingPassesNeverInterleave) {
    FakeDevice fake({4, 4});
    auto tagging = std::make_unique<TaggingDevice>(fake);
    TaggingDevice* device = tagging.get();
    auto lib = std::make_unique<Library>(std::move(tagging));
    ASSERT_EQ(auto_set(*lib), 8);
    ASSERT_EQ(init_board(*lib), 2);

    // A hand-over on axis 5 that keeps the polling thread busy: the axis keeps moving.
    ASSERT_EQ(con_pmove(*lib, 5, 1000), 0);
    fake.set_busy(5, true);
    fake.set_rel_pos(5, 900);
    fake.set_busy(3, true);
    {
        std::lock_guard<std::recursive_mutex> guard(lib->mutex);
        ASSERT_EQ(change_pos(*lib, 5, 100), 0);
        ASSERT_TRUE(lib->monitor.running());
    }
    const size_t start = device->count();

    std::mutex ranges_mutex;
    std::vector<CallRange> ranges;
    auto run = [&](size_t expected, auto&& call) {
        std::lock_guard<std::recursive_mutex> guard(lib->mutex);  // what every exported call does
        const size_t begin = device->count();
        call();
        const size_t end = device->count();
        std::lock_guard<std::mutex> g(ranges_mutex);
        ranges.push_back({std::this_thread::get_id(), begin, end, expected});
    };
    constexpr int kRounds = 150;
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i)
            run(14, [&] {
                const AxisArg axes[] = {{1, 10}, {2, -10}};
                EXPECT_EQ(run_move(*lib, point_family(false, 2), axes), 0);
            });
    });
    threads.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i)
            run(8, [&] {
                const int axes[] = {3, 4};
                EXPECT_EQ(stop_axes(*lib, StopKind::sudden, axes), 0);
            });
    });
    threads.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i) {
            run(3, [&] { EXPECT_EQ(check_done(*lib, 6), 0); });
            run(3, [&] {
                int32_t pos = -1;
                EXPECT_EQ(get_abs_pos(*lib, 7, &pos), 0);
            });
        }
    });
    for (std::thread& t : threads) t.join();

    // Let the polling thread finish the change, then check the log.
    fake.set_axis_reg(5, REG_REMAINING, 100);
    fake.set_busy(5, false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> guard(lib->mutex);
            if (!lib->monitor.running()) break;
        }
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    const auto tags = device->tags();
    ASSERT_EQ(ranges.size(), 4u * kRounds);
    for (const CallRange& r : ranges) {
        EXPECT_EQ(r.end - r.begin, r.expected);
        for (size_t i = r.begin; i < r.end; ++i)
            ASSERT_EQ(tags[i], r.thread) << "request " << i << " of another thread inside a call";
    }
    // The polling thread made requests of its own meanwhile, outside every call.
    std::vector<bool> in_call(tags.size(), false);
    for (const CallRange& r : ranges)
        for (size_t i = r.begin; i < r.end; ++i) in_call[i] = true;
    size_t polling = 0;
    for (size_t i = start; i < tags.size(); ++i)
        if (!in_call[i]) ++polling;
    EXPECT_GT(polling, 0u);
    EXPECT_EQ(lib->moves[4].commanded_distance, 100);
    EXPECT_EQ(lib->monitor.threads_started(), 1u);
}

}  // namespace
}  // namespace dravik::test
