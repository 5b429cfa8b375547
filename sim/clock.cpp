#include "clock.h"

#include <ctime>

namespace dravik::sim {

SimClock::SimClock(Start start) : frozen_(start == Start::Frozen), origin_(monotonic_ns()) {}

int64_t SimClock::monotonic_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t SimClock::now_ns() const {
    std::lock_guard lock(mutex_);
    if (frozen_) return frozen_at_;
    return monotonic_ns() - origin_ + offset_;
}

void SimClock::freeze() {
    std::lock_guard lock(mutex_);
    if (frozen_) return;
    frozen_at_ = monotonic_ns() - origin_ + offset_;
    frozen_ = true;
}

void SimClock::resume() {
    std::lock_guard lock(mutex_);
    if (!frozen_) return;
    offset_ = frozen_at_ - (monotonic_ns() - origin_);
    frozen_ = false;
}

void SimClock::advance(int64_t ns) {
    if (ns <= 0) return;
    std::lock_guard lock(mutex_);
    // Saturates far beyond any test's needs (about 146 years), so no request can overflow it.
    int64_t& base = frozen_ ? frozen_at_ : offset_;
    base = ns >= kMaxAdvance - base ? kMaxAdvance : base + ns;
}

bool SimClock::frozen() const {
    std::lock_guard lock(mutex_);
    return frozen_;
}

}  // namespace dravik::sim
