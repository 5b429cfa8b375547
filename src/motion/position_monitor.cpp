#include "motion/position_monitor.h"

#include <chrono>
#include <system_error>

#include "core/library.h"
#include "motion/changes.h"

namespace dravik {

namespace {
// Pause between two passes, taken without the lock: the axis being watched is decelerating, so
// a millisecond costs nothing in reaction time and keeps the thread's CPU use negligible.
constexpr std::chrono::microseconds kPassPause{1000};
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
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> guard(lock_);
            if (closing_.load() || !poll_pass(lib)) {
                running_ = false;
                return;
            }
        }
        std::this_thread::sleep_for(kPassPause);
    }
}

}  // namespace dravik
