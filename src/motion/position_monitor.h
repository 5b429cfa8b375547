// The PositionMonitor's polling thread: completes a change of position whose target the axis has
// already passed. The axis is stopped by change_pos; the thread waits until it is at rest and then
// re-issues a point move to the target (poll_pass in changes.h does one such pass).
//
// Threading contract:
//  - At most one polling thread exists at any time. start() joins a previous thread that has
//    already decided to end before it creates a new one, so an ending thread and a new one never
//    poll side by side and each thread object is joined exactly once.
//  - Every pass runs with the library's recursive lock held; between passes the thread sleeps
//    without the lock (1 ms, growing to 4 ms while the awaited axes keep moving), so application
//    calls get in between passes and a waiting change costs little CPU.
//  - The thread ends by itself after a pass that found no pending change.
//  - shutdown() ends the thread and waits for it. It must be called WITHOUT the library lock held
//    (the thread needs the lock to finish its pass); the destructor calls it.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace dravik {

class Library;

class PositionMonitor {
public:
    explicit PositionMonitor(std::recursive_mutex& library_lock) : lock_(library_lock) {}
    ~PositionMonitor();
    PositionMonitor(const PositionMonitor&) = delete;
    PositionMonitor& operator=(const PositionMonitor&) = delete;

    // Starts the polling thread over `lib` unless one is running. Caller holds the library lock.
    // False when no thread runs afterwards (closing down, or the thread could not be created).
    bool start(Library& lib);
    // True from start() until a pass finds nothing pending. Changed only under the library lock;
    // atomic so that a caller without the lock (a loader notification) may look at it too.
    bool running() const { return running_.load(); }
    // Number of polling threads started so far (diagnostics). Caller holds the library lock.
    unsigned threads_started() const { return threads_started_; }
    // Tells the thread to run no further pass; it ends at its next turn. Any thread may call it.
    void request_close();
    // request_close(), then waits for the thread to end. Caller must NOT hold the library lock.
    void shutdown();

private:
    void body(Library& lib);

    std::recursive_mutex& lock_;
    std::atomic<bool> running_{false};  // written under the library lock
    unsigned threads_started_ = 0;      // guarded by the library lock
    std::atomic<bool> closing_{false};  // set once, at unload; no pass and no start after it
    std::thread thread_;                // guarded by the library lock (start, shutdown)
};

}  // namespace dravik
