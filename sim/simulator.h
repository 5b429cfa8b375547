// The simulated driver as a whole: the machine, its clock, the fault injector and the handling of
// every request that reaches the device (driver requests and the simulator's control requests).
// Thread-safe: one mutex serialises requests, so several connections see the same boards.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "clock.h"
#include "control_protocol.h"
#include "machine.h"

namespace dravik::sim {

// State of one open device connection.
struct Session {
    GroupState group;
};

struct Reply {
    bool ok = false;    // the response frame's ok word
    bool drop = false;  // close the connection instead of answering
};

class Simulator {
public:
    Simulator(const SimConfig& config, SimClock& clock);

    // Handles one request. `out` receives the response bytes (at most `out_len`). Unknown codes,
    // and lengths that do not match the request's format, are answered ok = 0.
    Reply handle(Session& session, uint32_t code, const uint8_t* in, uint32_t in_len,
                 uint32_t out_len, std::vector<uint8_t>& out);

    // Direct access for in-process tests and benchmarks; the caller must hold no other reference
    // across concurrent requests.
    template <class F>
    auto with_machine(F&& f) {
        std::lock_guard lock(mutex_);
        return f(machine_, clock_.now_ns());
    }

    SimClock& clock() { return clock_; }
    std::vector<AxisSnapshot> axis_snapshots();
    std::vector<BoardSnapshot> board_snapshots();

private:
    Reply handle_device(Session& session, uint32_t code, const uint8_t* in, uint32_t in_len,
                        uint32_t out_len, std::vector<uint8_t>& out);
    Reply handle_control(uint32_t code, const uint8_t* in, uint32_t in_len, uint32_t out_len,
                         std::vector<uint8_t>& out);
    std::vector<AxisSnapshot> axis_snapshots_locked();
    std::vector<BoardSnapshot> board_snapshots_locked();

    std::mutex mutex_;
    SimClock& clock_;
    Machine machine_;
    int32_t faults_[3] = {0, 0, 0};  // pending count per FaultKind
};

}  // namespace dravik::sim
