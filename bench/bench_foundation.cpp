// Cost of the library's own work per call.
//
// (a) Through the socket backend to a minimal in-process server that answers every request at
//     once: check_done, get_abs_pos and set_profile next to the same number of bare request
//     round trips on the same kind of connection. A call's unavoidable cost is its requests
//     (validation alone sends two), so the ratio call / bare round trips shows the overhead of
//     everything else; the goal is at most 1.2.
// (b) Over a device that answers in memory without recording anything: the library's own work
//     per call, goal under 0.5 us.
//
// Socket timings are sensitive to scheduling; on a shared machine run for example
//   bench_foundation --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
// and the ratios are then taken from the medians.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
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
#include "motion/speed.h"
#include "ratio_reporter.h"
#include "status/status.h"

namespace dravik {
namespace {

// Answers one driver request in place, like a driver with one idle 4-axis board.
void answer(uint32_t code, uint8_t* payload, uint32_t out_len, uint32_t* len) {
    if (code == kRequestMotionBlock) {
        const uint32_t accepted = 1;
        std::memcpy(payload, &accepted, 4);
        *len = 4;
        return;
    }
    *len = out_len;
    if (code != kRequestDriverCommand || out_len != sizeof(DriverCommand)) {
        std::memset(payload, 0, out_len);
        return;
    }
    DriverCommand cmd;
    std::memcpy(&cmd, payload, sizeof cmd);
    switch (cmd.command) {
        case kCmdDriverVersion:
            cmd.words[0] = 3;
            cmd.words[1] = 0;
            cmd.words[2] = 0;
            break;
        case kCmdBoardCount:
            cmd.words[0] = 1;
            break;
        case kCmdBoardInfo:
            cmd.words[0] = 0;
            cmd.words[1] = 4;
            break;
        case kCmdReadBoardReg:
            cmd.words[0] = cmd.words[1] == kBoardVersion ? 0x00020200 : 0;
            break;
        case kCmdReadAbsPos:
            cmd.words[0] = 1234;
            break;
        default:
            cmd.words[0] = 0;
            break;
    }
    std::memcpy(payload, &cmd, sizeof cmd);
}

// ---- (a) socket server ----------------------------------------------------------------------

bool read_exact(int fd, uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t r = ::recv(fd, p, n, 0);
        if (r <= 0) return false;
        p += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}

void serve_connection(int fd) {
    std::vector<uint8_t> buf(kResponseHeaderSize + 4096);
    uint8_t header[kFrameHeaderSize];
    while (read_exact(fd, header, sizeof header)) {
        uint32_t code, in_len, out_len;
        std::memcpy(&code, header, 4);
        std::memcpy(&in_len, header + 4, 4);
        std::memcpy(&out_len, header + 8, 4);
        if (in_len > 4096 || out_len > 4096) break;
        uint8_t* payload = buf.data() + kResponseHeaderSize;
        if (!read_exact(fd, payload, in_len)) break;
        uint32_t len = 0;
        answer(code, payload, out_len, &len);
        const uint32_t ok = 1;
        std::memcpy(buf.data(), &ok, 4);
        std::memcpy(buf.data() + 4, &len, 4);
        if (::send(fd, buf.data(), kResponseHeaderSize + len, MSG_NOSIGNAL) < 0) break;
    }
    ::close(fd);
}

class Server {
public:
    explicit Server(int index) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const std::string name = device_socket_name(index);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path + 1, name.data(), name.size());
        const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd_, 8) != 0) {
            std::perror("bench server");
            std::abort();
        }
        acceptor_ = std::thread([this] {
            for (;;) {
                const int c = ::accept(fd_, nullptr, nullptr);
                if (c < 0) return;
                std::thread(serve_connection, c).detach();
            }
        });
    }
    ~Server() {
        ::shutdown(fd_, SHUT_RDWR);
        acceptor_.join();
        ::close(fd_);
    }

private:
    int fd_;
    std::thread acceptor_;
};

const int kIndex = 200000 + static_cast<int>(::getpid());

Server& server() {
    static Server s(kIndex);
    return s;
}

std::unique_ptr<Library> ready_library(std::unique_ptr<Device> device) {
    auto lib = std::make_unique<Library>(std::move(device));
    if (auto_set(*lib) != 4 || init_board(*lib) != 1) {
        std::fprintf(stderr, "bench: start-up failed\n");
        std::abort();
    }
    return lib;
}

// Requests each measured call sends: validation (2) + its own; set_profile adds the busy test
// (validation 2 + status read).
constexpr int kRequestsCheckDone = 3;
constexpr int kRequestsGetAbsPos = 3;
constexpr int kRequestsSetProfile = 5;

void BM_Socket_BareRoundTrips(benchmark::State& state) {
    server();
    auto device = open_driver_device(kDriverInterfaceClass, kIndex);
    DriverCommand cmd{};
    cmd.command = kCmdReadAxisReg;
    cmd.arg_count = 2;
    const auto n = state.range(0);
    for (auto _ : state)
        for (int64_t i = 0; i < n; ++i)
            benchmark::DoNotOptimize(
                device->control(kRequestDriverCommand, &cmd, sizeof cmd, &cmd, sizeof cmd));
}
BENCHMARK(BM_Socket_BareRoundTrips)->Arg(kRequestsCheckDone)->Arg(kRequestsSetProfile);

void BM_Socket_CheckDone(benchmark::State& state) {
    server();
    auto lib = ready_library(open_driver_device(kDriverInterfaceClass, kIndex));
    for (auto _ : state) benchmark::DoNotOptimize(check_done(*lib, 1));
}
BENCHMARK(BM_Socket_CheckDone);

void BM_Socket_GetAbsPos(benchmark::State& state) {
    server();
    auto lib = ready_library(open_driver_device(kDriverInterfaceClass, kIndex));
    int32_t pos = 0;
    for (auto _ : state) benchmark::DoNotOptimize(get_abs_pos(*lib, 1, &pos));
}
BENCHMARK(BM_Socket_GetAbsPos);

void BM_Socket_SetProfile(benchmark::State& state) {
    server();
    auto lib = ready_library(open_driver_device(kDriverInterfaceClass, kIndex));
    for (auto _ : state) benchmark::DoNotOptimize(set_profile(*lib, 1, 1000.0, 50000.0, 200000.0));
}
BENCHMARK(BM_Socket_SetProfile);

// ---- (b) in-memory device -------------------------------------------------------------------

class NoopDevice final : public Device {
public:
    bool control(uint32_t code, const void* in, uint32_t in_len, void* out,
                 uint32_t out_len) override {
        if (out != in && in_len <= out_len) std::memcpy(out, in, in_len);
        uint32_t len = 0;
        answer(code, static_cast<uint8_t*>(out), out_len, &len);
        return true;
    }
};

void BM_Memory_CheckDone(benchmark::State& state) {
    auto lib = ready_library(std::make_unique<NoopDevice>());
    for (auto _ : state) benchmark::DoNotOptimize(check_done(*lib, 1));
}
BENCHMARK(BM_Memory_CheckDone);

void BM_Memory_GetAbsPos(benchmark::State& state) {
    auto lib = ready_library(std::make_unique<NoopDevice>());
    int32_t pos = 0;
    for (auto _ : state) benchmark::DoNotOptimize(get_abs_pos(*lib, 1, &pos));
}
BENCHMARK(BM_Memory_GetAbsPos);

void BM_Memory_SetProfile(benchmark::State& state) {
    auto lib = ready_library(std::make_unique<NoopDevice>());
    for (auto _ : state) benchmark::DoNotOptimize(set_profile(*lib, 1, 1000.0, 50000.0, 200000.0));
}
BENCHMARK(BM_Memory_SetProfile);

}  // namespace
}  // namespace dravik

int main(int argc, char** argv) {
    return dravik::run_ratio_benchmarks(argc, argv,
                                        {{"BM_Socket_CheckDone", "BM_Socket_BareRoundTrips/3"},
                                         {"BM_Socket_GetAbsPos", "BM_Socket_BareRoundTrips/3"},
                                         {"BM_Socket_SetProfile", "BM_Socket_BareRoundTrips/5"}},
                                        1.2);
}
