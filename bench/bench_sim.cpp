// Simulator benchmarks: request round trip through the device socket next to a raw socketpair
// ping-pong of the same frame sizes, in-process position queries per second, CPU use of the idle
// server, and the timing fidelity of a ramped move against the closed-form move time.
#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "axis/registers.h"
#include "driver/protocol.h"
#include "motion_profile.h"
#include "sim_client.h"
#include "simulator.h"
#include "socket_server.h"

namespace dravik::sim {
namespace {

using Clock = std::chrono::steady_clock;

// A simulator served on a private abstract name by a thread of this process.
class ServedSimulator {
public:
    explicit ServedSimulator(SimClock::Start start = SimClock::Start::Running)
        : clock_(start), sim_(SimConfig{}, clock_),
          name_("dravik-bench/" + std::to_string(getpid()) + "/" + std::to_string(counter_++)),
          server_(sim_, name_) {
        std::string error;
        ok_ = server_.listen(error);
        if (ok_) thread_ = std::thread([this] { server_.run(); });
    }
    ~ServedSimulator() {
        if (ok_) {
            server_.request_stop();
            thread_.join();
        }
    }
    bool ok() const { return ok_; }
    const std::string& name() const { return name_; }
    std::thread& thread() { return thread_; }

private:
    static inline std::atomic<int> counter_{0};
    SimClock clock_;
    Simulator sim_;
    std::string name_;
    SocketServer server_;
    std::thread thread_;
    bool ok_ = false;
};

DriverCommand status_command(int32_t axis) {
    DriverCommand cmd{};
    cmd.command = kCmdReadAxisReg;
    cmd.arg_count = 2;
    cmd.words[0] = axis;
    cmd.words[1] = REG_STATUS;
    return cmd;
}

// Nanoseconds per round trip of a 60-byte request and a 56-byte answer over a socketpair to an
// echo thread that does no work: the floor any socket transport can reach.
double raw_round_trip_ns(int64_t iterations) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return 0;
    std::thread echo([fd = fds[1]] {
        uint8_t request[60], answer[56] = {1};
        for (;;) {
            size_t got = 0;
            while (got < sizeof request) {
                const ssize_t n = recv(fd, request + got, sizeof request - got, 0);
                if (n <= 0) return;
                got += static_cast<size_t>(n);
            }
            if (send(fd, answer, sizeof answer, MSG_NOSIGNAL) != sizeof answer) return;
        }
    });
    uint8_t request[60] = {}, answer[56];
    const auto start = Clock::now();
    for (int64_t i = 0; i < iterations; ++i) {
        if (send(fds[0], request, sizeof request, MSG_NOSIGNAL) != sizeof request) break;
        size_t got = 0;
        while (got < sizeof answer) {
            const ssize_t n = recv(fds[0], answer + got, sizeof answer - got, 0);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
    }
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    close(fds[0]);
    echo.join();
    close(fds[1]);
    return ns / static_cast<double>(iterations);
}

void BM_DeviceSocketRoundTrip(benchmark::State& state) {
    ServedSimulator served;
    SimClient client;
    if (!served.ok() || !client.connect(served.name())) {
        state.SkipWithError("cannot serve the simulator");
        return;
    }
    DriverCommand cmd = status_command(1);
    std::vector<uint8_t> out;
    bool ok = false;
    for (auto _ : state) {
        if (!client.request(kRequestDriverCommand, &cmd, sizeof cmd, sizeof cmd, ok, out) || !ok) {
            state.SkipWithError("request failed");
            return;
        }
    }
    // The same count again outside the benchmark loop, next to the raw ping-pong, for the ratio.
    const auto start = Clock::now();
    const int64_t n = std::max<int64_t>(state.iterations(), 10000);
    for (int64_t i = 0; i < n; ++i) client.request(kRequestDriverCommand, &cmd, 48, 48, ok, out);
    const double device_ns =
        std::chrono::duration<double, std::nano>(Clock::now() - start).count() / static_cast<double>(n);
    const double raw_ns = raw_round_trip_ns(n);
    state.counters["device_ns"] = device_ns;
    state.counters["raw_ns"] = raw_ns;
    state.counters["ratio"] = raw_ns > 0 ? device_ns / raw_ns : 0;
}
BENCHMARK(BM_DeviceSocketRoundTrip)->UseRealTime();

void BM_PositionQueryInProcess(benchmark::State& state) {
    SimClock clock;
    Simulator sim(SimConfig{}, clock);
    Session session;
    MotionBlock block{};
    block.axis = 1;
    block.block_type = kBlockConstant;
    block.speed_select = 1;
    block.distance = kEndlessDistance;
    block.speed_word_1 = 100;
    block.rate_divider = 1;
    block.mode_image = (MODE_DEFAULT & ~MODE_RUN & ~MODE_POSITIONING) | MODE_RUN_GO;
    block.group_remaining = 1;
    std::vector<uint8_t> out;
    sim.handle(session, kRequestMotionBlock, reinterpret_cast<const uint8_t*>(&block), sizeof block,
               4, out);
    DriverCommand cmd{kCmdReadAbsPos, 1, {1}};
    for (auto _ : state) {
        const Reply r = sim.handle(session, kRequestDriverCommand,
                                   reinterpret_cast<const uint8_t*>(&cmd), sizeof cmd, sizeof cmd, out);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PositionQueryInProcess);

double thread_cpu_ms(std::thread& t) {
    clockid_t id;
    if (pthread_getcpuclockid(t.native_handle(), &id) != 0) return -1;
    timespec ts{};
    clock_gettime(id, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

void BM_IdleServerCpu(benchmark::State& state) {
    ServedSimulator served;
    SimClient client;  // an idle connection, as an application that holds the device open
    if (!served.ok() || !client.connect(served.name())) {
        state.SkipWithError("cannot serve the simulator");
        return;
    }
    bool ok = false;
    std::vector<uint8_t> out;
    client.request(kCtlClockResume, nullptr, 0, 0, ok, out);  // the connection is accepted (no-op)
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double before = thread_cpu_ms(served.thread());
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        wall += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        cpu += thread_cpu_ms(served.thread()) - before;
    }
    state.counters["server_cpu_ms_per_s"] = wall > 0 ? cpu / wall * 1000.0 : 0;
}
BENCHMARK(BM_IdleServerCpu)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// A ramped move on the real clock, polled through the socket until the axis reports done, next
// to the closed-form duration of the same profile.
void BM_RampedMoveTimingFidelity(benchmark::State& state) {
    ServedSimulator served;
    SimClient client;
    if (!served.ok() || !client.connect(served.name())) {
        state.SkipWithError("cannot serve the simulator");
        return;
    }
    // Rate 1.0: 1000 -> 5000 pulses/s at 10000 pulses/s^2 over 2500 pulses: 0.69 s, a trapezoid.
    MotionBlock block{};
    block.axis = 1;
    block.block_type = kBlockRamped;
    block.distance = 2500;
    block.speed_word_1 = 1000;
    block.speed_word_2 = block.speed_word_3 = 5000;
    block.accel_word = block.decel_word = 3300;
    block.rate_divider = 1007;
    block.mode_image = (MODE_DEFAULT & ~MODE_RUN) | MODE_RUN_GO | MODE_RAMP | MODE_POINT_RAMP | 1;
    block.group_remaining = 1;
    const double expected = ramped_move_time(2500, 1000, 5000, 10000);
    DriverCommand status = status_command(1);
    double worst = 0, total = 0;
    std::vector<uint8_t> out;
    bool ok = false;
    for (auto _ : state) {
        client.request(kRequestMotionBlock, &block, sizeof block, 4, ok, out);
        const auto start = Clock::now();  // the move started while the request was answered
        for (;;) {
            client.request(kRequestDriverCommand, &status, 48, 48, ok, out);
            int32_t word = 0;
            std::memcpy(&word, out.data() + 8, 4);
            if (!(word & STATUS_BUSY)) break;
        }
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        const double error = std::fabs(took - expected) / expected * 100.0;
        worst = std::max(worst, error);
        total += error;
        state.SetIterationTime(took);
    }
    state.counters["expected_s"] = expected;
    state.counters["worst_error_pct"] = worst;
    state.counters["mean_error_pct"] = state.iterations() > 0 ? total / state.iterations() : 0;
}
BENCHMARK(BM_RampedMoveTimingFidelity)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dravik::sim

BENCHMARK_MAIN();
