// On-the-fly changes and the PositionMonitor against the recording FakeDevice.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "core/error_calls.h"
#include "motion/changes.h"
#include "motion/moves.h"
#include "motion/stops.h"
#include "motion_support.h"

namespace dravik::test {
namespace {

using namespace std::chrono_literals;

class ChangesTest : public LibraryTest {
protected:
    void SetUp() override { start({4, 4}); }
    void TearDown() override {
        if (lib) lib->monitor.shutdown();
    }

    // Starts a point move of `step` on `ch` and makes the fake report it running at `at`.
    void running_move(int ch, int32_t step, bool ramped, int32_t at) {
        ASSERT_EQ(ramped ? fast_pmove(*lib, ch, step) : con_pmove(*lib, ch, step), 0);
        fake->set_busy(ch, true);
        fake->set_rel_pos(ch, at);
        fake->clear_requests();
    }

    // The traffic of change_pos up to its relative-position read, for axis `ch` on `board`.
    static std::vector<std::string> change_pos_head(int ch, int board) {
        return concat({validations(1), busy_tests({ch}),
                       {cmd(kCmdReadBoardReg, {board, kBoardVersion}), rd(ch, REG_INPUT_CONFIG),
                        wr(ch, REG_INPUT_CONFIG, int32_t(CFG_CHANGE_POS)),
                        cmd(kCmdReadRelPos, {ch})}});
    }

    bool monitor_running() {
        std::lock_guard<std::recursive_mutex> guard(lib->mutex);
        return lib->monitor.running();
    }
    // Waits until the polling thread has ended (at most two seconds).
    bool wait_for_monitor_end() {
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (monitor_running()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    MoveRecord record(int ch) {
        std::lock_guard<std::recursive_mutex> guard(lib->mutex);
        return lib->moves.at(static_cast<size_t>(ch - 1));
    }
};

TEST_F(ChangesTest, TargetNotYetReachedCorrectsTheRunningMoveInPlace) {
    const struct {
        int32_t step, at, target, delta;
    } cases[] = {
        {1000, 300, 1500, 500},
        {1000, 300, 600, -400},
        {-1000, -300, -1500, 500},
        {-1000, -300, -600, -400},
    };
    for (const auto& c : cases) {
        running_move(1, c.step, false, c.at);
        fake->set_axis_reg(1, REG_INPUT_CONFIG, 0);
        ASSERT_EQ(change_pos(*lib, 1, c.target), 0) << c.step << " -> " << c.target;
        EXPECT_EQ(trace(*fake),
                  concat({change_pos_head(1, 1),
                          {wr(1, REG_DISTANCE_CHANGE, c.delta), cmd(kCmdAdjustDistance, {1, c.delta})}}));
        EXPECT_EQ(record(1).commanded_distance, c.target);
        EXPECT_EQ(record(1).change_pending, 0);
        EXPECT_FALSE(monitor_running());
        fake->set_busy(1, false);
    }
    EXPECT_EQ(lib->monitor.threads_started(), 0u);
}

TEST_F(ChangesTest, PassedTargetStopsTheAxisAndThePollingThreadMovesItBack) {
    for (bool ramped : {true, false}) {
        running_move(1, 1000, ramped, 700);
        fake->set_axis_reg(1, REG_INPUT_CONFIG, 0);
        const uint32_t mode = static_cast<uint32_t>(fake->axis_reg(1, REG_MODE));
        const uint32_t stopped =
            ramped ? mode | MODE_RUN_DECEL_STOP : (mode & ~MODE_RUN) | MODE_RUN_STOP;
        {
            std::lock_guard<std::recursive_mutex> guard(lib->mutex);
            ASSERT_EQ(change_pos(*lib, 1, 500), 0);
            // The stop went out within the call, before the thread could run a pass.
            EXPECT_EQ(trace(*fake),
                      concat({change_pos_head(1, 1), validations(1),
                              {rd(1, REG_STATUS), rd(1, REG_MODE), wr(1, REG_MODE, int32_t(stopped))}}));
            EXPECT_TRUE(lib->monitor.running());
        }
        // The axis is still decelerating: the thread waits. Then it comes to rest 300 short of the
        // old end, that is at 700.
        std::this_thread::sleep_for(5ms);
        EXPECT_TRUE(fake->motion_blocks().empty()) << "no move while the axis still runs";
        fake->set_axis_reg(1, REG_REMAINING, 300);
        fake->set_busy(1, false);
        ASSERT_TRUE(wait_for_monitor_end());
        const auto blocks = fake->motion_blocks();
        ASSERT_EQ(blocks.size(), 1u) << fake->dump();
        EXPECT_EQ(blocks[0].distance, 200);
        EXPECT_NE(blocks[0].mode_image & MODE_DIR_NEG, 0u) << "a move back";
        EXPECT_EQ(blocks[0].block_type, ramped ? kBlockRamped : kBlockConstant);
        EXPECT_EQ(record(1).commanded_distance, 500);
        EXPECT_EQ(record(1).change_pending, 0);
    }
}

TEST_F(ChangesTest, SecondChangeWhileThePollingThreadRunsStartsNoSecondThread) {
    running_move(1, 1000, false, 700);
    running_move(2, -1000, true, -700);
    {
        std::lock_guard<std::recursive_mutex> guard(lib->mutex);
        ASSERT_EQ(change_pos(*lib, 1, 500), 0);
        ASSERT_EQ(change_pos(*lib, 2, -500), 0);
        EXPECT_EQ(lib->monitor.threads_started(), 1u);
    }
    fake->set_axis_reg(1, REG_REMAINING, 300);
    fake->set_axis_reg(2, REG_REMAINING, 300);
    fake->set_busy(1, false);
    fake->set_busy(2, false);
    ASSERT_TRUE(wait_for_monitor_end());
    const auto blocks = fake->motion_blocks();
    ASSERT_EQ(blocks.size(), 2u);
    for (const MotionBlock& b : blocks) EXPECT_EQ(b.distance, 200);
    EXPECT_EQ(record(2).commanded_distance, -500);
    // A later hand-over starts a new thread.
    running_move(3, 100, false, 90);
    {
        std::lock_guard<std::recursive_mutex> guard(lib->mutex);
        ASSERT_EQ(change_pos(*lib, 3, 50), 0);
        EXPECT_EQ(lib->monitor.threads_started(), 2u);
    }
    fake->set_busy(3, false);
    ASSERT_TRUE(wait_for_monitor_end());
}

TEST_F(ChangesTest, TargetAtThePresentPositionIsHandedOverToo) {
    running_move(1, 1000, false, 600);
    ASSERT_EQ(change_pos(*lib, 1, 600), 0);
    EXPECT_TRUE(monitor_running());
    EXPECT_EQ(fake->writes_to(1, REG_MODE).size(), 1u) << "stopped at once";
    fake->set_axis_reg(1, REG_REMAINING, 400);  // stopped right at 600
    fake->set_busy(1, false);
    ASSERT_TRUE(wait_for_monitor_end());
    EXPECT_TRUE(fake->motion_blocks().empty()) << "already at the target: a zero step sends nothing";
    EXPECT_EQ(record(1).commanded_distance, 600);
}

TEST_F(ChangesTest, RefusalsLeaveTheRecordAlone) {
    // At rest: refused without an error of its own.
    ASSERT_EQ(con_pmove(*lib, 1, 1000), 0);
    fake->clear_requests();
    EXPECT_EQ(change_pos(*lib, 1, 500), -1);
    EXPECT_EQ(lib->last_error, 0);
    EXPECT_EQ(trace(*fake), concat({validations(1), busy_tests({1})}));

    // No point or line move on record (a continuous move runs): no frame for a target.
    fake->set_busy(2, true);
    fake->clear_requests();
    EXPECT_EQ(change_pos(*lib, 2, 500), -1);
    EXPECT_EQ(fake->count(kCmdReadRelPos), 0u);

    // A board older than 2.2.
    running_move(1, 1000, false, 300);
    fake->set_card_version(1, 0x00020100);
    EXPECT_EQ(change_pos(*lib, 1, 1500), -1);
    EXPECT_EQ(fake->count(kCmdReadRelPos), 0u);
    fake->set_card_version(1, 0x00030000);

    // Unreadable input configuration, version word or relative position.
    const std::vector<std::string> head = change_pos_head(1, 1);
    for (size_t failing : {size_t{5}, size_t{6}, size_t{8}}) {
        fake->clear_requests();
        fake->fail_at(failing);
        EXPECT_EQ(change_pos(*lib, 1, 1500), -1) << head[failing];
        EXPECT_EQ(fake->count(kCmdAdjustDistance), 0u) << head[failing];
        EXPECT_EQ(fake->writes_to(1, REG_DISTANCE_CHANGE).size(), 0u);
        EXPECT_EQ(record(1).commanded_distance, 1000);
        EXPECT_EQ(record(1).change_pending, 0);
    }
    EXPECT_EQ(record(1).new_target, 0) << "a change that failed is not remembered";

    // A failed correction is reported and not recorded as done.
    fake->clear_requests();
    fake->fail_at(9);  // the write of REG_DISTANCE_CHANGE
    EXPECT_EQ(change_pos(*lib, 1, 1500), -1);
    EXPECT_EQ(fake->count(kCmdAdjustDistance), 0u);
    EXPECT_EQ(record(1).commanded_distance, 1000);
    EXPECT_FALSE(monitor_running());
}

TEST_F(ChangesTest, UnloadStopsEveryAxisAndEndsThePollingThread) {
    running_move(3, 1000, false, 900);
    ASSERT_EQ(change_pos(*lib, 3, 100), 0);  // axis 3 keeps reporting busy: the thread polls on
    ASSERT_TRUE(monitor_running());
    std::this_thread::sleep_for(3ms);
    fake->clear_requests();
    stop_motion_for_unload(*lib);
    EXPECT_FALSE(monitor_running());
    const size_t after = fake->request_count();
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(fake->request_count(), after) << "no pass after the unload";
    // From the unload's first request on: the stops of axes 1 to 8 and nothing else (passes of
    // the polling thread may only come before it).
    std::vector<int32_t> status_reads;
    bool unloading = false;
    for (const Cmd& c : fake->commands()) {
        if (c.code == kCmdDriverVersion) unloading = true;
        if (unloading && c.code == kCmdReadAxisReg && c.args.at(1) == REG_STATUS)
            status_reads.push_back(c.args[0]);
    }
    EXPECT_EQ(status_reads, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(fake->writes_to(3, REG_MODE).size(), 1u) << "the unload stops the axis still moving";
    EXPECT_TRUE(fake->motion_blocks().empty()) << "the change was not completed after the stops";
}

// The board of an axis comes from the board table, whatever the axis count of each board.
TEST(ChangePosBoards, VersionOfTheAxisOwnBoardIsRead) {
    const struct {
        std::vector<int> boards;
        int ch;
        int board;
    } cases[] = {{{2, 6}, 3, 2}, {{2, 6}, 8, 2}, {{6, 2}, 5, 1}, {{6, 2}, 7, 2}};
    for (const auto& c : cases) {
        FakeDevice* fake = nullptr;
        auto lib = make_library(c.boards, &fake);
        ASSERT_GT(auto_set(*lib), 0);
        ASSERT_GT(init_board(*lib), 0);
        // Every other board is too old to change a distance: only the right board lets it pass.
        for (int b = 1; b <= 2; ++b) fake->set_card_version(b, b == c.board ? 0x00020200 : 0x00020100);
        ASSERT_EQ(con_pmove(*lib, c.ch, 1000), 0);
        fake->set_busy(c.ch, true);
        fake->set_rel_pos(c.ch, 100);
        fake->clear_requests();
        EXPECT_EQ(change_pos(*lib, c.ch, 2000), 0) << "axis " << c.ch;
        std::vector<std::string> expected = concat(
            {validations(1), busy_tests({c.ch}), {cmd(kCmdReadBoardReg, {c.board, kBoardVersion})}});
        const auto got = trace(*fake);
        ASSERT_GE(got.size(), expected.size());
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + expected.size()), expected);
        EXPECT_EQ(fake->writes_to(c.ch, REG_DISTANCE_CHANGE), std::vector<int32_t>{1000});
    }
}

// poll_pass run directly (no thread): what a pass does with each kind of pending entry.
class PollPassTest : public ReadyLibraryTest {
protected:
    void pending(int ch, int32_t commanded, int32_t target, int32_t mode) {
        MoveRecord& r = lib->moves[ch - 1];
        r.commanded_distance = commanded;
        r.new_target = target;
        r.move_mode = mode;
        r.change_pending = 1;
    }
};

TEST_F(PollPassTest, NothingPendingEndsThePolling) {
    EXPECT_EQ(poll_pass(*lib), PassResult::nothing_pending);
    EXPECT_EQ(fake->request_count(), 0u);
}

TEST_F(PollPassTest, MovingOrUnreadableAxisStaysPending) {
    pending(2, 1000, 500, 0);
    fake->set_busy(2, true);
    EXPECT_EQ(poll_pass(*lib), PassResult::waiting);
    EXPECT_EQ(trace(*fake), std::vector<std::string>{rd(2, REG_STATUS)});
    fake->set_busy(2, false);
    for (size_t failing : {size_t{0}, size_t{1}}) {  // status read, then REG_REMAINING read
        fake->clear_requests();
        fake->fail_at(failing);
        EXPECT_EQ(poll_pass(*lib), PassResult::waiting);
        EXPECT_TRUE(fake->motion_blocks().empty());
        EXPECT_EQ(lib->moves[1].change_pending, 1);
    }
}

TEST_F(PollPassTest, AxisAtRestIsMovedToItsTarget) {
    const struct {
        int32_t commanded, target, remaining, mode;
        int32_t distance;  // sent
        bool negative;
    } cases[] = {
        {1000, 500, 300, 1, 200, true},    // stopped at 700
        {-1000, -500, 300, 0, 200, false}, // stopped at -700
        {1000, 1200, 0, 0, 200, false},    // ran to its end
        {-1000, -1200, 100, 1, 300, true}, // stopped at -900
    };
    for (const auto& c : cases) {
        pending(4, c.commanded, c.target, c.mode);
        fake->set_axis_reg(4, REG_REMAINING, c.remaining);
        fake->clear_requests();
        EXPECT_EQ(poll_pass(*lib), PassResult::progressed);
        std::vector<std::string> expected{rd(4, REG_STATUS), rd(4, REG_REMAINING)};
        const auto move = concat({validations(1), busy_tests({4}), {rd(4, REG_MODE)}});
        expected.insert(expected.end(), move.begin(), move.end());
        if (c.mode == 1) expected.push_back(wr(4, REG_RAMP_AUX, 0));
        expected.push_back(block(4));
        EXPECT_EQ(trace(*fake), expected);
        const MotionBlock b = fake->motion_blocks().at(0);
        EXPECT_EQ(b.distance, c.distance);
        EXPECT_EQ((b.mode_image & MODE_DIR_NEG) != 0, c.negative);
        EXPECT_EQ(lib->moves[3].commanded_distance, c.target);
        EXPECT_EQ(lib->moves[3].move_mode, c.mode);
        EXPECT_EQ(lib->moves[3].change_pending, 0);
        EXPECT_EQ(poll_pass(*lib), PassResult::nothing_pending);
    }
}

TEST_F(PollPassTest, EntryWithoutAFrameOrAWayIsDroppedWithoutAMove) {
    pending(1, 0, 500, 0);  // no distance on record
    pending(2, -2147483647, 2147483647, 0);  // the way back has no 32-bit form
    EXPECT_EQ(poll_pass(*lib), PassResult::progressed);
    EXPECT_TRUE(fake->motion_blocks().empty());
    EXPECT_EQ(lib->moves[0].change_pending, 0);
    EXPECT_EQ(lib->moves[1].change_pending, 0);
    EXPECT_EQ(poll_pass(*lib), PassResult::nothing_pending);
}

TEST_F(PollPassTest, PassCoversEveryAxisOfTheSystem) {
    // Axis 8 is the last of two four-axis boards; tables are sized from the axis count.
    ASSERT_EQ(lib->moves.size(), 8u);
    pending(8, 100, 50, 0);
    fake->set_axis_reg(8, REG_REMAINING, 10);
    EXPECT_EQ(poll_pass(*lib), PassResult::progressed);
    EXPECT_EQ(fake->motion_blocks().at(0).axis, 8);
    EXPECT_EQ(fake->motion_blocks().at(0).distance, 40);
}

TEST_F(PollPassTest, NewMoveOfTheAxisSupersedesAWaitingChange) {
    pending(1, 1000, 500, 0);
    ASSERT_EQ(con_pmove(*lib, 1, 300), 0);
    EXPECT_EQ(lib->moves[0].change_pending, 0);
    EXPECT_EQ(lib->moves[0].commanded_distance, 300);
    fake->clear_requests();
    EXPECT_EQ(poll_pass(*lib), PassResult::nothing_pending);
}

class SpeedChangeTest : public ReadyLibraryTest {};

TEST_F(SpeedChangeTest, ChangeSpeedWritesOnlyForARunningRampedMove) {
    const uint32_t ramped_mode = MODE_DEFAULT | MODE_RAMP;
    const struct {
        const char* name;
        uint32_t mode;
        bool busy;
        double speed;
        int result;
        int32_t error;
        std::vector<int32_t> written;
    } cases[] = {
        {"ramped, rate 1007", ramped_mode, true, -5035.0, 0, 0, {5}},
        {"huge speed", ramped_mode, true, 1e300, 0, 0, {8191}},
        {"tiny speed", ramped_mode, true, 1.0, 0, 0, {1}},
        {"at rest", ramped_mode, false, 5035.0, 0, 0, {}},
        {"constant-speed move", MODE_DEFAULT, true, 5035.0, -1, kErrBadAxis, {}},
        {"not a number", ramped_mode, true, std::nan(""), -1, kErrBadSpeed, {}},
    };
    for (const auto& c : cases) {
        fake->set_axis_reg(1, REG_MODE, static_cast<int32_t>(c.mode));
        fake->set_busy(1, c.busy);
        fake->clear_requests();
        lib->last_error = 0;
        EXPECT_EQ(change_speed(*lib, 1, c.speed), c.result) << c.name;
        EXPECT_EQ(lib->last_error, c.error) << c.name;
        EXPECT_EQ(fake->writes_to(1, REG_SPEED_CHANGE), c.written) << c.name;
    }
    EXPECT_EQ(axis(1).high_speed, 8000.0) << "the stored profile is not changed";
}

TEST_F(SpeedChangeTest, ChangeSpeedDecidesNothingOnAFailedReadAndReportsAFailedWrite) {
    fake->set_axis_reg(1, REG_MODE, static_cast<int32_t>(MODE_DEFAULT | MODE_RAMP));
    fake->set_busy(1, true);
    // Requests: validation (0, 1), mode read (2), status read (3), write (4).
    for (size_t failing : {size_t{2}, size_t{3}, size_t{4}}) {
        fake->clear_requests();
        fake->fail_at(failing);
        EXPECT_EQ(change_speed(*lib, 1, 5035.0), -1) << failing;
        EXPECT_EQ(fake->request_count(), failing + 1) << fake->dump();
    }
}

TEST_F(SpeedChangeTest, ChangeAccelStoresAndWritesTheRegisterValue) {
    const struct {
        double rate, accel;
        double stored;
        int32_t value;
    } cases[] = {
        {1.0, 10000.0, 10000.0, 3300},
        {1007.0, 10000.0, 10000.0, 65535},
        {1007.0, 0.0, 0.0, 65535},
        {1.0, -10000.0, 10000.0, 3300},
        {1.0, 1e12, 1e12, 2},
    };
    for (const auto& c : cases) {
        axis(2).rate = c.rate;
        fake->clear_requests();
        EXPECT_EQ(change_accel(*lib, 2, c.accel), 0);
        EXPECT_EQ(axis(2).accel, c.stored);
        EXPECT_EQ(axis(2).decel, c.stored);
        EXPECT_EQ(trace(*fake), concat({validations(1), {wr(2, REG_ACCEL_CHANGE, c.value),
                                                         wr(2, REG_DECEL_CHANGE, c.value)}}));
    }
    EXPECT_EQ(change_accel(*lib, 2, std::nan("")), -1);
    EXPECT_EQ(lib->last_error, kErrBadSpeed);
    EXPECT_EQ(axis(2).accel, 1e12) << "nothing stored";
    fake->fail_at(fake->request_count() + 2);  // the first register write
    EXPECT_EQ(change_accel(*lib, 2, 5000.0), -1);
}

}  // namespace
}  // namespace dravik::test
