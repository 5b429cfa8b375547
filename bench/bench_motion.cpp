// Cost of the move calls and of the PositionMonitor's polling thread.
//
// (a) Through the socket backend to an in-process dravik-sim server (the simulated boards,
//     running clock): fast_pmove2 and con_line3 next to the bare round trips of exactly the
//     requests they send (fast_pmove2: 14 driver commands + 2 motion blocks; con_line3: 18 + 3).
//     The ratio call / bare shows the library's overhead beyond its requests; goal <= 1.2.
//     Between iterations (timing paused) the axes are stopped so that every call is accepted.
// (b) Over a device that answers in memory without recording (every axis idle): the library's
//     own work per call; goal under 2 us.
// (c) CPU used while one change of position waits for its axis to come to rest for one second:
//     in memory (only the polling thread works; the main thread sleeps) and over the socket to
//     the simulator (polling thread plus the simulator's server thread answering it). Reported
//     as the counter cpu_percent (of one core); goal under 2.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "axis/registers.h"
#include "core/board.h"
#include "core/library.h"
#include "driver/device.h"
#include "driver/socket_protocol.h"
#include "motion/changes.h"
#include "motion/lines.h"
#include "motion/moves.h"
#include "motion/speed.h"
#include "motion/stops.h"
#include "ratio_reporter.h"
#include "simulator.h"
#include "socket_server.h"
#include "status/status.h"

namespace dravik {
namespace {

const int kIndex = 300000 + static_cast<int>(::getpid());

// ---- the simulator behind the device socket --------------------------------------------------

class SimServer {
public:
    SimServer() {
        std::string error;
        if (!server_.listen(error)) {
            std::fprintf(stderr, "bench: %s\n", error.c_str());
            std::abort();
        }
        thread_ = std::thread([this] { server_.run(); });
    }
    ~SimServer() {
        server_.request_stop();
        thread_.join();
    }

private:
    sim::SimClock clock_{sim::SimClock::Start::Running};
    sim::Simulator simulator_{sim::SimConfig{}, clock_};
    sim::SocketServer server_{simulator_, device_socket_name(kIndex)};
    std::thread thread_;
};

SimServer& sim_server() {
    static SimServer server;
    return server;
}

std::unique_ptr<Library> ready_library(std::unique_ptr<Device> device) {
    auto lib = std::make_unique<Library>(std::move(device));
    if (auto_set(*lib) <= 0 || init_board(*lib) <= 0) {
        std::fprintf(stderr, "bench: start-up failed\n");
        std::abort();
    }
    return lib;
}

std::unique_ptr<Library> socket_library() {
    sim_server();
    return ready_library(open_driver_device(kDriverInterfaceClass, kIndex));
}

void stop_axes_at_once(Library& lib, std::initializer_list<int> axes) {
    const std::vector<int> list(axes);
    stop_axes(lib, StopKind::sudden, list);
    for (int ch : axes)
        if (check_done(lib, ch) != 0) std::abort();
}

// ---- (a) calls through the socket and their bare round trips ----------------------------------

void BM_Socket_FastPmove2(benchmark::State& state) {
    auto lib = socket_library();
    const AxisArg axes[] = {{1, 10}, {2, -10}};
    for (auto _ : state) {
        if (run_move(*lib, point_family(true, 2), axes) != 0) state.SkipWithError("refused");
        state.PauseTiming();
        stop_axes_at_once(*lib, {1, 2});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Socket_FastPmove2);

void BM_Socket_ConLine3(benchmark::State& state) {
    auto lib = socket_library();
    const AxisArg axes[] = {{1, 30}, {2, -40}, {3, 50}};
    for (auto _ : state) {
        if (run_line(*lib, false, axes) != 0) state.SkipWithError("refused");
        state.PauseTiming();
        stop_axes_at_once(*lib, {1, 2, 3});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Socket_ConLine3);

// `commands` register reads, then one motion block per axis of `axes` (a short move each).
void bare_round_trips(benchmark::State& state, int commands, std::initializer_list<int> axes) {
    auto lib = socket_library();  // only to stop the axes between iterations
    auto device = open_driver_device(kDriverInterfaceClass, kIndex);
    DriverCommand cmd{};
    MotionBlock block{};
    block.block_type = kBlockConstant;
    block.speed_select = 1;
    block.speed_word_1 = 8;
    block.rate_divider = 1;
    block.rate_whole = 1007;
    block.distance = 10;
    block.mode_image = (MODE_DEFAULT & ~MODE_RUN) | MODE_RUN_GO;
    uint32_t accepted = 0;
    for (auto _ : state) {
        for (int i = 0; i < commands; ++i) {
            cmd = DriverCommand{kCmdReadAxisReg, 2, {1, REG_STATUS}};
            benchmark::DoNotOptimize(
                device->control(kRequestDriverCommand, &cmd, sizeof cmd, &cmd, sizeof cmd));
        }
        uint8_t remaining = static_cast<uint8_t>(axes.size());
        for (int ch : axes) {
            block.axis = ch;
            block.group_remaining = remaining--;
            benchmark::DoNotOptimize(device->control(kRequestMotionBlock, &block, sizeof block,
                                                     &accepted, sizeof accepted));
        }
        state.PauseTiming();
        stop_axes_at_once(*lib, axes);
        state.ResumeTiming();
    }
}

void BM_Socket_BareFastPmove2(benchmark::State& state) { bare_round_trips(state, 14, {1, 2}); }
BENCHMARK(BM_Socket_BareFastPmove2);

void BM_Socket_BareConLine3(benchmark::State& state) { bare_round_trips(state, 18, {1, 2, 3}); }
BENCHMARK(BM_Socket_BareConLine3);

// ---- (b) the library's own work over an in-memory device ---------------------------------------

// Answers like a driver with one board of four idle axes; `busy_until` makes axis 1 busy.
class MemoryDevice final : public Device {
public:
    bool control(uint32_t code, const void* in, uint32_t in_len, void* out,
                 uint32_t out_len) override {
        if (code == kRequestMotionBlock) {
            const uint32_t accepted = 1;
            std::memcpy(out, &accepted, sizeof accepted);
            return true;
        }
        if (code != kRequestDriverCommand || in_len != sizeof(DriverCommand)) return false;
        DriverCommand cmd;
        std::memcpy(&cmd, in, sizeof cmd);
        int32_t& w0 = cmd.words[0];
        switch (cmd.command) {
            case kCmdDriverVersion:
                w0 = 3, cmd.words[1] = 0, cmd.words[2] = 0;
                break;
            case kCmdBoardCount:
                w0 = 1;
                break;
            case kCmdBoardInfo:
                w0 = 0, cmd.words[1] = 4;
                break;
            case kCmdReadBoardReg:
                w0 = cmd.words[1] == kBoardVersion ? 0x00020200 : 0;
                break;
            case kCmdReadAxisReg:
                w0 = cmd.words[1] == REG_STATUS && cmd.words[0] == 1 &&
                             std::chrono::steady_clock::now() < busy_until.load()
                         ? static_cast<int32_t>(STATUS_BUSY)
                         : 0;
                break;
            case kCmdReadRelPos:
                w0 = 900;
                break;
            default:
                w0 = 0;
                break;
        }
        std::memcpy(out, &cmd, out_len < sizeof cmd ? out_len : sizeof cmd);
        return true;
    }
    std::atomic<std::chrono::steady_clock::time_point> busy_until{};
};

void BM_Memory_FastPmove2(benchmark::State& state) {
    auto lib = ready_library(std::make_unique<MemoryDevice>());
    const AxisArg axes[] = {{1, 10}, {2, -10}};
    for (auto _ : state) benchmark::DoNotOptimize(run_move(*lib, point_family(true, 2), axes));
}
BENCHMARK(BM_Memory_FastPmove2);

void BM_Memory_ConLine3(benchmark::State& state) {
    auto lib = ready_library(std::make_unique<MemoryDevice>());
    const AxisArg axes[] = {{1, 30}, {2, -40}, {3, 50}};
    for (auto _ : state) benchmark::DoNotOptimize(run_line(*lib, false, axes));
}
BENCHMARK(BM_Memory_ConLine3);

// ---- (c) CPU of the polling thread -----------------------------------------------------------

double cpu_seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

bool monitor_running(Library& lib) {
    std::lock_guard<std::recursive_mutex> guard(lib.mutex);
    return lib.monitor.running();
}

// Measures the CPU of every thread but this one (which only waits) from the hand-over until the
// polling thread has ended.
void measure_pending_change(benchmark::State& state, Library& lib, int32_t target) {
    const double process0 = cpu_seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double self0 = cpu_seconds(CLOCK_THREAD_CPUTIME_ID);
    const auto t0 = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::recursive_mutex> guard(lib.mutex);
        if (change_pos(lib, 1, target) != 0 || !lib.monitor.running())
            state.SkipWithError("change_pos was not handed over");
    }
    while (monitor_running(lib)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double others = (cpu_seconds(CLOCK_PROCESS_CPUTIME_ID) - process0) -
                          (cpu_seconds(CLOCK_THREAD_CPUTIME_ID) - self0);
    state.counters["cpu_percent"] = 100.0 * others / wall;
    state.counters["wall_s"] = wall;
}

void BM_PollingCpu_Memory(benchmark::State& state) {
    auto device = std::make_unique<MemoryDevice>();
    MemoryDevice* memory = device.get();
    auto lib = ready_library(std::move(device));
    if (con_pmove(*lib, 1, 1000) != 0) state.SkipWithError("move refused");
    for (auto _ : state) {
        memory->busy_until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        measure_pending_change(state, *lib, 100);
    }
}
BENCHMARK(BM_PollingCpu_Memory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PollingCpu_Socket(benchmark::State& state) {
    auto lib = socket_library();
    // A ramped move whose deceleration from 10000 pulses/s takes about a second (a low maximum
    // speed gives a speed unit small enough for the acceleration register to hold 10000/s^2).
    set_maxspeed(*lib, 1, 20000.0);
    set_profile(*lib, 1, 100.0, 10000.0, 10000.0);
    for (auto _ : state) {
        if (fast_pmove(*lib, 1, 1000000) != 0) state.SkipWithError("move refused");
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // at full speed
        measure_pending_change(state, *lib, 1);
    }
    stop_axes_at_once(*lib, {1});
}
BENCHMARK(BM_PollingCpu_Socket)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace dravik

int main(int argc, char** argv) {
    return dravik::run_ratio_benchmarks(argc, argv,
                                        {{"BM_Socket_FastPmove2", "BM_Socket_BareFastPmove2"},
                                         {"BM_Socket_ConLine3", "BM_Socket_BareConLine3"}},
                                        1.2);
}
