// The device socket: several clients on the same boards, malformed frames, dropped connections,
// and the daemon itself with its command line and ctl commands.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "control_protocol.h"
#include "ctl.h"
#include "daemon_process.h"
#include "options.h"
#include "sim_rig.h"
#include "socket_server.h"

namespace dravik::sim::testing {
namespace {

std::string unique_name() {
    static std::atomic<int> counter{0};
    return "dravik-test/" + std::to_string(getpid()) + "/" + std::to_string(counter++);
}

class Served : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(server.listen(error)) << error;
        thread = std::thread([this] { server.run(); });
    }
    void TearDown() override {
        server.request_stop();
        thread.join();
    }
    bool connect(SimClient& c) { return c.connect(name); }
    static bool command(SimClient& c, int32_t code, std::initializer_list<int32_t> args,
                        int32_t* word0 = nullptr) {
        DriverCommand cmd{code, static_cast<int32_t>(args.size()), {}};
        int i = 0;
        for (int32_t a : args) cmd.words[i++] = a;
        bool ok = false;
        std::vector<uint8_t> out;
        if (!c.request(kRequestDriverCommand, &cmd, 48, 48, ok, out)) return false;
        if (ok && word0 != nullptr && out.size() == 48) std::memcpy(word0, out.data() + 8, 4);
        return ok;
    }

    SimClock clock{SimClock::Start::Frozen};
    Simulator sim{SimConfig{}, clock};
    std::string name = unique_name();
    SocketServer server{sim, name};
    std::thread thread;
};

TEST_F(Served, ClientsShareTheSameBoards) {
    SimClient a, b;
    ASSERT_TRUE(connect(a));
    ASSERT_TRUE(connect(b));
    MotionBlock block = constant_block(4, 1007, 10);
    bool ok = false;
    std::vector<uint8_t> out;
    ASSERT_TRUE(a.request(kRequestMotionBlock, &block, sizeof block, 4, ok, out));
    ASSERT_TRUE(ok);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], 1);
    int32_t status = 0;
    ASSERT_TRUE(command(b, kCmdReadAxisReg, {4, REG_STATUS}, &status));
    EXPECT_NE(status & STATUS_BUSY, 0);
    const int64_t ns = 100000000;
    ASSERT_TRUE(b.request(kCtlClockAdvance, &ns, 8, 0, ok, out));
    int32_t pos = 0;
    ASSERT_TRUE(command(a, kCmdReadAbsPos, {4}, &pos));
    EXPECT_EQ(pos, 1007);
}

TEST_F(Served, PipelinedRequestsAreAnsweredInOrder) {
    SimClient c;
    ASSERT_TRUE(connect(c));
    std::vector<uint8_t> frames;
    for (int32_t port = 1; port <= 20; ++port) {
        const uint32_t header[3] = {kRequestDriverCommand, 48, 48};
        DriverCommand cmd{kCmdWritePort, 2, {port, port * 3}};
        frames.insert(frames.end(), reinterpret_cast<const uint8_t*>(header),
                      reinterpret_cast<const uint8_t*>(header) + 12);
        frames.insert(frames.end(), reinterpret_cast<uint8_t*>(&cmd),
                      reinterpret_cast<uint8_t*>(&cmd) + 48);
        cmd = DriverCommand{kCmdReadPort, 1, {port}};
        frames.insert(frames.end(), reinterpret_cast<const uint8_t*>(header),
                      reinterpret_cast<const uint8_t*>(header) + 12);
        frames.insert(frames.end(), reinterpret_cast<uint8_t*>(&cmd),
                      reinterpret_cast<uint8_t*>(&cmd) + 48);
    }
    ASSERT_TRUE(c.send_raw(frames.data(), frames.size()));
    for (int32_t port = 1; port <= 20; ++port) {
        uint8_t reply[56];
        ASSERT_TRUE(c.read_exact(reply, 56));  // the write
        ASSERT_TRUE(c.read_exact(reply, 56));  // the read
        int32_t word0 = 0;
        std::memcpy(&word0, reply + 16, 4);
        EXPECT_EQ(reply[0], 1);
        EXPECT_EQ(word0, port * 3);
    }
}

TEST_F(Served, MalformedFramesAreRefusedOrCloseTheConnection) {
    SimClient c;
    ASSERT_TRUE(connect(c));
    bool ok = true;
    std::vector<uint8_t> out;
    const uint8_t junk[10] = {};
    ASSERT_TRUE(c.request(kRequestDriverCommand, junk, 10, 48, ok, out));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(out.empty());
    ASSERT_TRUE(c.request(0x12345678, nullptr, 0, 0, ok, out));
    EXPECT_FALSE(ok);
    EXPECT_TRUE(command(c, kCmdBoardCount, {}));  // the connection still serves

    const uint32_t huge[3] = {kRequestDriverCommand, kMaxFramePayload + 1, 48};
    ASSERT_TRUE(c.send_raw(huge, sizeof huge));
    uint8_t byte = 0;
    EXPECT_FALSE(c.read_exact(&byte, 1));  // closed

    // A client that leaves half a frame behind does not disturb the others.
    SimClient half;
    ASSERT_TRUE(connect(half));
    ASSERT_TRUE(half.send_raw(huge, 7));
    half.close();
    SimClient d;
    ASSERT_TRUE(connect(d));
    EXPECT_TRUE(command(d, kCmdBoardCount, {}));
}

TEST_F(Served, SurvivesRandomFrames) {
    std::mt19937 random(1234);
    const uint32_t codes[] = {kRequestDriverCommand, kRequestMotionBlock, kRequestBoardRecord,
                              kCtlSetAxisInput, kCtlAxisState, kCtlSetBoardInputs, 0};
    for (int round = 0; round < 200; ++round) {
        SimClient c;
        ASSERT_TRUE(connect(c));
        std::vector<uint8_t> payload(random() % 120);
        for (auto& b : payload) b = static_cast<uint8_t>(random());
        const uint32_t code = codes[random() % 7];
        const uint32_t out_len = random() % 3 == 0 ? random() : random() % 200;
        bool ok = false;
        std::vector<uint8_t> out;
        // Either an answer within out_len, or the connection closed for oversized lengths.
        const bool answered =
            c.request(code, payload.data(), static_cast<uint32_t>(payload.size()), out_len, ok, out);
        if (out_len <= kMaxFramePayload) {
            EXPECT_TRUE(answered) << round;
        }
    }
    SimClient c;
    ASSERT_TRUE(connect(c));
    int32_t boards = 0;
    ASSERT_TRUE(command(c, kCmdBoardCount, {}, &boards));
    EXPECT_EQ(boards, 2);
}

TEST_F(Served, DropFaultClosesOnlyTheRequestingConnection) {
    SimClient victim, other;
    ASSERT_TRUE(connect(victim));
    ASSERT_TRUE(connect(other));
    const int32_t fault[2] = {static_cast<int32_t>(FaultKind::Drop), 1};
    bool ok = false;
    std::vector<uint8_t> out;
    ASSERT_TRUE(other.request(kCtlInjectFault, fault, 8, 0, ok, out));
    ASSERT_TRUE(ok);
    EXPECT_FALSE(command(victim, kCmdBoardCount, {}));
    EXPECT_TRUE(command(other, kCmdBoardCount, {}));
}

TEST(DaemonOptions, ParsesEveryOptionAndRefusesBadValues) {
    DaemonOptions o;
    std::string error;
    ASSERT_TRUE(parse_daemon_options({"--boards", "2,3,0", "--index", "5", "--driver-version",
                                      "3.0.1", "--card-version", "0x01020200", "--identity",
                                      "7,0x10", "--mix-status", "4", "--board-count", "9",
                                      "--board-type", "2", "--frozen"},
                                     o, error)) << error;
    EXPECT_EQ(o.config.axes_per_board, (std::vector<int>{2, 3, 0}));
    EXPECT_EQ(o.index, 5);
    EXPECT_EQ(o.config.driver_version[2], 1);
    EXPECT_EQ(o.config.card_version, 0x01020200u);
    EXPECT_EQ(o.config.identity_of(2), 0x10u);
    EXPECT_EQ(o.config.identity_of(3), 0x44560003u);
    EXPECT_EQ(o.config.mix_status, 4);
    EXPECT_EQ(o.config.board_count_override, 9);
    EXPECT_EQ(o.config.board_type, 2);
    EXPECT_TRUE(o.frozen);
    const std::vector<std::vector<std::string>> bad = {
        {"--boards", ""}, {"--boards", "4,,4"}, {"--boards", "4,x"}, {"--boards", "-1"},
        {"--boards", "65"}, {"--index", "-1"}, {"--driver-version", "3.0"},
        {"--card-version", "0x100000000"}, {"--identity", "1,"}, {"--board-count", "-2"},
        {"--mix-status"}, {"--nonsense", "1"}};
    for (const auto& args : bad) {
        DaemonOptions x;
        EXPECT_FALSE(parse_daemon_options(args, x, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

long cpu_ticks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string f;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14) utime = std::stol(f);
        if (i == 15) stime = std::stol(f);
    }
    return utime + stime;
}

TEST(Daemon, ServesControlsAndStopsCleanly) {
    DaemonProcess daemon;
    const std::string name = device_socket_name(7);
    ASSERT_TRUE(daemon.start(DRAVIK_SIM_BINARY, {"--index", "7", "--boards", "2,3", "--frozen"},
                             name));
    // A second simulator cannot take the same interface.
    DaemonProcess second;
    EXPECT_FALSE(second.start(DRAVIK_SIM_BINARY, {"--index", "7"}, device_socket_name(99)));
    EXPECT_EQ(WEXITSTATUS(second.exit_status()), 1);

    std::ostringstream out, err;
    EXPECT_EQ(run_ctl({"--index", "7", "input", "4", "org", "active"}, out, err), 0) << err.str();
    EXPECT_EQ(run_ctl({"--index", "7", "board-input", "2", "3", "low"}, out, err), 0);
    EXPECT_EQ(run_ctl({"--index", "7", "fault", "fail", "0"}, out, err), 0);
    EXPECT_EQ(run_ctl({"--index", "7", "clock", "advance", "5"}, out, err), 0);
    EXPECT_EQ(run_ctl({"--index", "7", "board-count", "3"}, out, err), 0);
    SimClient client;
    ASSERT_TRUE(client.connect(name));
    const DriverCommand count{kCmdBoardCount, 0, {}};
    bool ok = false;
    std::vector<uint8_t> reply;
    ASSERT_TRUE(client.request(kRequestDriverCommand, &count, 48, 48, ok, reply));
    ASSERT_EQ(reply.size(), 48u);
    EXPECT_EQ(reply[8], 3);
    EXPECT_EQ(run_ctl({"--index", "7", "board-count", "-1"}, out, err), 0);
    ASSERT_TRUE(client.request(kRequestDriverCommand, &count, 48, 48, ok, reply));
    EXPECT_EQ(reply[8], 2);
    EXPECT_EQ(run_ctl({"--index", "7", "board-count", "-2"}, out, err), 2);
    EXPECT_EQ(run_ctl({"--index", "7", "input", "6", "org", "active"}, out, err), 1);
    EXPECT_EQ(run_ctl({"--index", "7", "input", "1", "foo", "active"}, out, err), 2);
    EXPECT_EQ(run_ctl({"--index", "8", "state"}, out, err), 1);  // nobody there
    out.str("");
    ASSERT_EQ(run_ctl({"--index", "7", "state"}, out, err), 0);
    EXPECT_NE(out.str().find("   4     2          0          0          0          0        0.0   no   1  org"),
              std::string::npos) << out.str();
    out.str("");
    ASSERT_EQ(run_ctl({"--index", "7", "boards", "--json"}, out, err), 0);
    EXPECT_NE(out.str().find("\"board\": 2, \"axes\": 3, \"inputs\": 65531"), std::string::npos)
        << out.str();

    // Idle, the daemon uses no CPU (it sleeps in epoll_wait).
    const long before = cpu_ticks(daemon.pid());
    const timespec pause{0, 300000000};
    nanosleep(&pause, nullptr);
    EXPECT_LE(cpu_ticks(daemon.pid()) - before, 1);

    const int status = daemon.stop(SIGTERM);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Daemon, InterruptStopsItCleanly) {
    DaemonProcess daemon;
    ASSERT_TRUE(daemon.start(DRAVIK_SIM_BINARY, {"--index", "12"}, device_socket_name(12)));
    SimClient client;  // a connected client does not hold the shutdown back
    ASSERT_TRUE(client.connect(device_socket_name(12)));
    const int status = daemon.stop(SIGINT);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    uint8_t byte = 0;
    EXPECT_FALSE(client.read_exact(&byte, 1));  // its connection was closed
}

TEST(Daemon, RefusesBadCommandLine) {
    DaemonProcess daemon;
    EXPECT_FALSE(daemon.start(DRAVIK_SIM_BINARY, {"--boards", "x"}, device_socket_name(11)));
    EXPECT_EQ(WEXITSTATUS(daemon.exit_status()), 2);
}

}  // namespace
}  // namespace dravik::sim::testing
