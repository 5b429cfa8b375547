// The whole chain: the built libdravik (loaded with dlopen) talking through the device socket to
// a dravik-sim child process. Runs in a private network namespace (see CMakeLists.txt), where
// interface 0 of the driver's class belongs to this test's own simulator. Every case starts a
// fresh simulator and loads the library afresh, so no state carries over.
//
// Most cases start the simulator with its clock frozen and move the clock through the control
// requests: the physics is then exact and the cases take no real time. The first point move runs
// on real time.
#include <gtest/gtest.h>
#include <signal.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "axis.h"
#include "control_protocol.h"
#include "daemon_process.h"
#include "driver/socket_protocol.h"
#include "library_handle.h"
#include "sim_client.h"
#include "state_format.h"

namespace dravik::e2e {
namespace {

using sim::AxisSnapshot;
using sim::BoardSnapshot;
using sim::SimClient;
using sim::testing::DaemonProcess;
using Clock = std::chrono::steady_clock;

constexpr int32_t kRefusedMotion = 0x30000000;

class EndToEnd : public ::testing::Test {
protected:
    void launch(std::vector<std::string> args) {
        SimClient probe;
        ASSERT_FALSE(probe.connect(name_))
            << "a simulator already serves interface 0: run this test under `unshare -rn`";
        ASSERT_TRUE(sim_.start(DRAVIK_SIM_BINARY, args, name_));
        ASSERT_TRUE(control_.connect(name_));
        std::string error;
        ASSERT_TRUE(lib.open(DRAVIK_LIBRARY, error)) << error;
    }
    void shut_down() {
        lib.close();
        EXPECT_FALSE(library_still_loaded(DRAVIK_LIBRARY)) << "dlclose did not unload the library";
        control_.close();
        sim_.stop();
    }
    void TearDown() override { shut_down(); }

    // Starts a frozen simulator with two 4-axis boards and runs the start-up pair.
    void start_frozen() {
        ASSERT_NO_FATAL_FAILURE(launch({"--boards", "4,4", "--frozen"}));
        ASSERT_NO_FATAL_FAILURE(start_up());
    }
    void start_up() {
        ASSERT_EQ(lib.auto_set(), 8);
        ASSERT_EQ(lib.init_board(), 2);
    }
    // Speed unit 10.07 pulses/s; ramps 1000 -> 20000 pulses/s at 200000 pulses/s^2; constant
    // speed 10000 pulses/s.
    void configure(int ch) {
        ASSERT_EQ(lib.set_maxspeed(ch, 81910.0), 0);
        ASSERT_EQ(lib.set_profile(ch, 1000.0, 20000.0, 200000.0), 0);
        ASSERT_EQ(lib.set_conspeed(ch, 10000.0), 0);
    }

    bool control(uint32_t code, const void* in, uint32_t in_len, uint32_t out_len = 0,
                 std::vector<uint8_t>* out = nullptr) {
        bool ok = false;
        std::vector<uint8_t> bytes;
        if (!control_.request(code, in, in_len, out_len, ok, bytes)) return false;
        if (out != nullptr) *out = bytes;
        return ok;
    }
    void advance_ms(double ms) {
        const int64_t ns = std::llround(ms * 1e6);
        ASSERT_TRUE(control(sim::kCtlClockAdvance, &ns, 8));
    }
    void set_input(int32_t axis, sim::AxisInput input, bool active) {
        const int32_t in[3] = {axis, static_cast<int32_t>(input), active ? 2 : 3};
        ASSERT_TRUE(control(sim::kCtlSetAxisInput, in, sizeof in));
    }
    AxisSnapshot axis_state(int32_t axis) {
        std::vector<uint8_t> out;
        std::vector<AxisSnapshot> axes;
        EXPECT_TRUE(control(sim::kCtlAxisState, nullptr, 0, 1 << 16, &out));
        EXPECT_TRUE(sim::decode_axis_state(out, axes));
        return axes.at(static_cast<size_t>(axis - 1));
    }
    BoardSnapshot board_state(int32_t board) {
        std::vector<uint8_t> out;
        std::vector<BoardSnapshot> boards;
        EXPECT_TRUE(control(sim::kCtlBoardState, nullptr, 0, 1 << 16, &out));
        EXPECT_TRUE(sim::decode_board_state(out, boards));
        return boards.at(static_cast<size_t>(board - 1));
    }
    int32_t abs_pos(int ch) {
        int32_t pos = -999;
        EXPECT_EQ(lib.get_abs_pos(ch, &pos), 0);
        return pos;
    }
    // Frozen clock: advances it in `step_ms` steps until `check_done` reports the axis at rest.
    // Returns the simulated milliseconds it took, or -1 after `limit_ms`.
    double advance_until_done(int ch, double step_ms, double limit_ms) {
        for (double t = 0; t <= limit_ms; t += step_ms) {
            if (lib.check_done(ch) == 0) return t;
            advance_ms(step_ms);
        }
        return -1;
    }

    LibraryHandle lib;
    const std::string name_ = device_socket_name(0);
    DaemonProcess sim_;
    SimClient control_;
};

TEST_F(EndToEnd, StartUpPairAndBoardQueries) {
    ASSERT_NO_FATAL_FAILURE(launch({"--boards", "4,4", "--identity", "0x1111,0x2222"}));
    ASSERT_NO_FATAL_FAILURE(start_up());
    EXPECT_EQ(lib.get_max_axe(), 8);
    EXPECT_EQ(lib.get_board_num(), 2);
    int major = 0, minor = 0, sub = 0;
    ASSERT_EQ(lib.get_sys_ver(&major, &minor, &sub), 0);
    EXPECT_EQ(major * 100 + minor * 10 + sub, 300);
    int32_t type = -1, cmaj = 0, cmin = 0, csub = 0;
    ASSERT_EQ(lib.get_card_ver(1, &type, &cmaj, &cmin, &csub), 0);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(cmaj, 2);
    EXPECT_EQ(cmin, 2);
    EXPECT_EQ(lib.check_IC(2), 0x2222);
    int32_t record[10] = {};
    ASSERT_EQ(lib.DmcGetBoardDBInfo(2, record), 0);
    EXPECT_EQ(record[0], 2);
    EXPECT_EQ(record[1], 4);
    EXPECT_EQ(record[2], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record + 6)), "DRAVIK-SIM");
}

TEST_F(EndToEnd, StartUpRefusalsComeThroughTheLibrary) {
    const struct {
        std::vector<std::string> args;
        int auto_set, init_board, last_error;
    } cases[] = {
        {{"--driver-version", "3.0.1"}, 8, -5, -1},
        {{"--card-version", "0x01020200"}, 8, -6, -1},
        {{"--mix-status", "4"}, -10, 0, 13},
        {{"--boards", "4,0"}, -3, 0, 11},
        {{"--board-count", "0"}, 0, 0, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        ASSERT_NO_FATAL_FAILURE(launch(c.args));
        EXPECT_EQ(lib.auto_set(), c.auto_set);
        if (c.last_error >= 0) {
            EXPECT_EQ(lib.get_last_err(), c.last_error);
        } else {
            EXPECT_EQ(lib.init_board(), c.init_board);
        }
        shut_down();
    }
}

TEST_F(EndToEnd, BoardCountChangedBetweenTheStartUpCallsIsRefused) {
    ASSERT_NO_FATAL_FAILURE(launch({"--boards", "4,4"}));
    ASSERT_EQ(lib.auto_set(), 8);
    const int32_t one = 1;
    ASSERT_TRUE(control(sim::kCtlSetBoardCount, &one, 4));
    EXPECT_EQ(lib.init_board(), -3);
    EXPECT_EQ(lib.check_done(1), -1);
    EXPECT_EQ(lib.get_last_err(), 9);  // not ready
}

TEST_F(EndToEnd, TwoAxisRampedPointMoveEndsOnExactPositions) {
    ASSERT_NO_FATAL_FAILURE(launch({"--boards", "4,4"}));  // real time
    ASSERT_NO_FATAL_FAILURE(start_up());
    ASSERT_NO_FATAL_FAILURE(configure(1));
    ASSERT_NO_FATAL_FAILURE(configure(2));
    ASSERT_EQ(lib.fast_pmove2(1, 3000, 2, -2000), 0);
    EXPECT_EQ(lib.check_done(1), 1);
    const auto start = Clock::now();
    while ((lib.check_done(1) != 0 || lib.check_done(2) != 0) &&
           Clock::now() - start < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(lib.check_done(1), 0);
    EXPECT_EQ(lib.check_done(2), 0);
    EXPECT_EQ(abs_pos(1), 3000);
    EXPECT_EQ(abs_pos(2), -2000);
    int32_t rel = 0;
    ASSERT_EQ(lib.get_rel_pos(2, &rel), 0);
    EXPECT_EQ(rel, -2000);
    EXPECT_EQ(axis_state(1).abs_pos, 3000);
    EXPECT_EQ(lib.get_cmd_counter(), 1);
}

TEST_F(EndToEnd, LineMoveAxesArriveTogether) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    ASSERT_EQ(lib.set_vector_conspeed(5000.0), 0);
    ASSERT_EQ(lib.con_line2(1, 3000, 2, -4000), 0);  // 1 s at 3000 and 4000 pulses/s
    double arrival[2] = {-1, -1};
    for (double t = 0; t <= 1200 && (arrival[0] < 0 || arrival[1] < 0); t += 2) {
        for (int ch = 1; ch <= 2; ++ch) {
            if (arrival[ch - 1] < 0 && lib.check_done(ch) == 0) arrival[ch - 1] = t;
        }
        advance_ms(2);
    }
    ASSERT_GT(arrival[0], 900);
    ASSERT_GT(arrival[1], 900);
    EXPECT_LE(std::fabs(arrival[0] - arrival[1]), 4.0);  // within two clock steps of 2 ms
    EXPECT_EQ(abs_pos(1), 3000);
    EXPECT_EQ(abs_pos(2), -4000);
}

TEST_F(EndToEnd, DeceleratingStopBrakesAndSuddenStopDoesNot) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    ASSERT_NO_FATAL_FAILURE(configure(1));
    ASSERT_NO_FATAL_FAILURE(configure(2));
    ASSERT_EQ(lib.fast_vmove(1, 1), 0);
    ASSERT_EQ(lib.fast_vmove(2, 1), 0);
    advance_ms(200);
    const AxisSnapshot before = axis_state(1);
    ASSERT_EQ(lib.decel_stop(1), 0);
    ASSERT_EQ(lib.sudden_stop(2), 0);
    EXPECT_EQ(lib.check_done(1), 1);  // still braking
    EXPECT_EQ(lib.check_done(2), 0);
    const int32_t held = abs_pos(2);
    const double took = advance_until_done(1, 1, 1000);
    ASSERT_GE(took, 0);
    // Braking from v to the low speed at the profile's 200000 pulses/s^2 (register-rounded).
    const double v = before.speed;
    const double brake = (v * v - 1000.0 * 1000.0) / (2 * 200000.0);
    EXPECT_NEAR(abs_pos(1) - before.abs_pos, brake, brake * 0.01 + 2);
    EXPECT_NEAR(took, (v - 1000.0) / 200000.0 * 1000.0, 2.0);
    EXPECT_EQ(abs_pos(2), held);
}

TEST_F(EndToEnd, HomeMoveEndsAtTheOrgInput) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    ASSERT_NO_FATAL_FAILURE(configure(3));
    ASSERT_EQ(lib.con_hmove(3, 1), 0);
    advance_ms(100);
    EXPECT_EQ(lib.check_done(3), 1);
    EXPECT_EQ(lib.check_home(3), 0);
    ASSERT_NO_FATAL_FAILURE(set_input(3, sim::AxisInput::Org, true));
    EXPECT_EQ(lib.check_done(3), 0);
    EXPECT_EQ(lib.check_home(3), 1);
    const int32_t at_org = abs_pos(3);
    EXPECT_NEAR(at_org, 1000, 2);  // 10000 pulses/s for 0.1 s
    advance_ms(100);
    EXPECT_EQ(abs_pos(3), at_org);
}

TEST_F(EndToEnd, LimitInputStopsAMoveTowardsIt) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    ASSERT_NO_FATAL_FAILURE(configure(4));
    ASSERT_EQ(lib.con_vmove(4, 0), 0);  // negative
    advance_ms(50);
    ASSERT_NO_FATAL_FAILURE(set_input(4, sim::AxisInput::NegLimit, true));
    EXPECT_EQ(lib.check_done(4), 0);
    EXPECT_EQ(lib.check_limit(4), -1);
    const int32_t at_limit = abs_pos(4);
    EXPECT_NEAR(at_limit, -500, 2);
    advance_ms(50);
    EXPECT_EQ(abs_pos(4), at_limit);
    // Moving away from the limit works.
    ASSERT_EQ(lib.con_pmove(4, 100), 0);
    EXPECT_GE(advance_until_done(4, 5, 100), 0);
    EXPECT_EQ(abs_pos(4), at_limit + 100);
}

TEST_F(EndToEnd, ChangePosInPlaceLengthensAndShortensTheMove) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    const struct { int ch; int32_t target; } cases[] = {{1, 15000}, {2, 6000}};
    for (const auto& c : cases) {
        ASSERT_NO_FATAL_FAILURE(configure(c.ch));
        ASSERT_EQ(lib.con_pmove(c.ch, 10000), 0);  // 1 s at 10000 pulses/s
    }
    advance_ms(300);
    for (const auto& c : cases) EXPECT_EQ(lib.change_pos(c.ch, c.target), 0) << c.ch;
    for (const auto& c : cases) {
        EXPECT_GE(advance_until_done(c.ch, 10, 2000), 0);
        EXPECT_EQ(abs_pos(c.ch), c.target) << c.ch;
    }
}

TEST_F(EndToEnd, ChangePosPastTheTargetGoesBackThroughThePollingThread) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    ASSERT_NO_FATAL_FAILURE(configure(1));
    ASSERT_EQ(lib.fast_pmove(1, 10000), 0);
    advance_ms(450);  // about 7100 pulses out, cruising at 20000 pulses/s
    ASSERT_GT(abs_pos(1), 6000);
    ASSERT_EQ(lib.change_pos(1, 5000), 0);
    // The library decelerates the axis, waits for it to come to rest and moves it back.
    const auto start = Clock::now();
    bool arrived = false;
    while (!arrived && Clock::now() - start < std::chrono::seconds(5)) {
        advance_ms(5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        arrived = lib.check_done(1) == 0 && abs_pos(1) == 5000;
    }
    EXPECT_TRUE(arrived) << "axis 1 at " << abs_pos(1);
    EXPECT_EQ(lib.get_cmd_counter(), 2);  // the move and its re-issue
}

TEST_F(EndToEnd, DigitalIoRoundTrip) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    ASSERT_EQ(lib.outport_byte(1, 0x1234), 0);
    ASSERT_EQ(lib.outport_bit(2, 3, 1), 0);
    EXPECT_EQ(board_state(1).outputs, 0x1234u);
    EXPECT_EQ(board_state(2).outputs, 0x4u);
    ASSERT_EQ(lib.outport_bit(1, 5, 0), 0);
    EXPECT_EQ(board_state(1).outputs, 0x1224u);

    EXPECT_EQ(lib.checkin_byte(1), 0);  // every input idle high
    const uint32_t inputs[3] = {1, 0x0005, 0x0004};  // input 1 low, input 3 high
    ASSERT_TRUE(control(sim::kCtlSetBoardInputs, inputs, sizeof inputs));
    EXPECT_EQ(lib.checkin_byte(1), 0x0001);
    EXPECT_EQ(lib.checkin_bit(1, 1), 1);
    EXPECT_EQ(lib.checkin_bit(1, 3), 0);
    EXPECT_EQ(lib.checkin_byte(2), 0);

    const uint32_t sfr[2] = {2, 0x80000007};
    ASSERT_TRUE(control(sim::kCtlSetBoardSfr, sfr, sizeof sfr));
    EXPECT_EQ(lib.check_SFR(2), 7);
    ASSERT_EQ(lib.Outport(0x300, 0x5A), 0);
    EXPECT_EQ(lib.Inport(0x300), 0x5A);
}

TEST_F(EndToEnd, RefusedMotionRequestSetsItsError) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    const int32_t fault[2] = {static_cast<int32_t>(sim::FaultKind::Refuse), 1};
    ASSERT_TRUE(control(sim::kCtlInjectFault, fault, sizeof fault));
    EXPECT_EQ(lib.con_pmove(1, 100), -1);
    EXPECT_EQ(lib.get_last_err(), kRefusedMotion);
    EXPECT_EQ(lib.check_done(1), 0);
    EXPECT_EQ(lib.get_cmd_counter(), 0);
    EXPECT_EQ(lib.con_pmove(1, 100), 0);  // only the one request was refused
    EXPECT_EQ(lib.get_cmd_counter(), 1);
}

TEST_F(EndToEnd, KilledSimulatorFailsRequestsWithoutHanging) {
    ASSERT_NO_FATAL_FAILURE(start_frozen());
    ASSERT_NO_FATAL_FAILURE(configure(1));
    ASSERT_EQ(lib.con_vmove(1, 1), 0);
    sim_.stop(SIGKILL);
    const auto start = Clock::now();
    EXPECT_EQ(lib.check_done(1), -1);
    EXPECT_EQ(lib.get_last_err(), 6);
    int32_t pos = 123;
    EXPECT_EQ(lib.get_abs_pos(1, &pos), -1);
    EXPECT_EQ(pos, 0);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace dravik::e2e
