#include "motion/position_monitor.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "core/library.h"
#include "motion/changes.h"

namespace dravik {

namespace {
// Pause between two passes, taken without the lock. It starts at 1 ms and doubles, up to 4 ms,
// while the axes waited for keep moving (a decelerating axis takes tens of milliseconds or more,
// and on a busy machine each wake-up costs tens of microseconds of CPU); it falls back to 1 ms
// after a pass that completed a change.
constexpr std::chrono::microseconds kMinPause{1000};
constexpr std::chrono::microseconds kMaxPause{4000};
}  // namespace

PositionMonitor::~PositionMonitor() { shutdown(); }

bool PositionMonitor::start(Library& lib) {
    if (running_) return true;
    if (closing_.load()) return false;
    // A previous thread that cleared running_ has left its last pass and never takes the lock
    // again, so joining it here (lock held) cannot deadlock and takes at most its return.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    try {
        thread_ = std::thread([this, &lib] { body(lib); });
        ++threads_started_;
    } catch (const std::system_error&) {
        running_ = false;
        return false;
    }
    return true;
}

void PositionMonitor::request_close() { closing_.store(true); }

void PositionMonitor::shutdown() {
    std::thread ending;
    {
        std::lock_guard<std::recursive_mutex> guard(lock_);
        closing_.store(true);
        ending = std::move(thread_);
    }
    if (ending.joinable()) ending.join();
}

void PositionMonitor::body(Library& lib) {
    auto pause = kMinPause;
    for (;;) {
        PassResult result = PassResult::nothing_pending;
        {
            std::lock_guard<std::recursive_mutex> guard(lock_);
            if (!closing_.load()) result = poll_pass(lib);
            if (result == PassResult::nothing_pending) {
                running_ = false;
                return;
            }
        }
        pause = result == PassResult::waiting ? std::min(pause * 2, kMaxPause) : kMinPause;
        std::this_thread::sleep_for(pause);
    }
}

}  // namespace dravik
