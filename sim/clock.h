// The simulator's clock: every position and speed is computed from the instant this clock gives.
// The daemon runs it on real monotonic time; tests start it frozen and move it by hand, so that
// physics tests are exact and take no real time.
#pragma once

#include <cstdint>
#include <mutex>

namespace dravik::sim {

class SimClock {
public:
    enum class Start { Running, Frozen };

    // Running: follows the monotonic clock from 0 at construction. Frozen: stands at 0 until
    // advanced or resumed.
    explicit SimClock(Start start = Start::Running);

    // Current simulated time in nanoseconds since construction (never goes backwards).
    int64_t now_ns() const;

    // Stops the clock where it is; advance() then moves it by hand. Idempotent.
    void freeze();
    // Lets the clock run on from where it stands. Idempotent.
    void resume();
    // Moves the clock forward by `ns` (negative values are ignored), frozen or running. The
    // total advance saturates at kMaxAdvance.
    void advance(int64_t ns);
    bool frozen() const;

    static constexpr int64_t kMaxAdvance = int64_t{1} << 62;

private:
    static int64_t monotonic_ns();

    mutable std::mutex mutex_;
    bool frozen_;
    int64_t frozen_at_ = 0;  // simulated time while frozen
    int64_t offset_ = 0;     // simulated = monotonic - origin + offset while running
    int64_t origin_;
};

}  // namespace dravik::sim
