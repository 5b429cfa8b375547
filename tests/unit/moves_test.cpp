// Point, continuous and home moves and the move builder, against the recording FakeDevice.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "axis/config.h"
#include "core/error_calls.h"
#include "motion/move_builder.h"
#include "motion/moves.h"
#include "motion/speed.h"
#include "motion_support.h"

namespace dravik::test {
namespace {

class MovesTest : public ReadyLibraryTest {
protected:
    int point(bool ramped, std::vector<AxisArg> a) {
        return run_move(*lib, point_family(ramped, static_cast<int>(a.size())), a);
    }
    int velocity(bool ramped, std::vector<AxisArg> a) {
        return run_move(*lib, velocity_family(ramped), a);
    }
    int home(bool ramped, std::vector<AxisArg> a) { return run_move(*lib, home_family(ramped), a); }
    std::vector<MotionBlock> blocks() const { return fake->motion_blocks(); }
};

constexpr bool kCon = false;
constexpr bool kFast = true;

TEST_F(MovesTest, RampedPointMoveBlockIsExactByteForByte) {
    ASSERT_EQ(fast_pmove(*lib, 1, -500), 0);
    EXPECT_EQ(trace(*fake), concat({validations(1), busy_tests({1}),
                                    {rd(1, REG_MODE), wr(1, REG_RAMP_AUX, 0), block(1)}}));
    MotionBlock expected{};  // the library's block was all zero but group_remaining 1
    expected.axis = 1;
    expected.block_type = kBlockRamped;
    expected.distance = 500;
    expected.speed_word_1 = 2;
    expected.speed_word_2 = 8;
    expected.speed_word_3 = 8;
    expected.accel_word = 65535;
    expected.decel_word = 65535;
    expected.rate_divider = 1;
    expected.mode_image = 0x203E15;
    expected.group_remaining = 1;
    expected.rate_whole = 1007;
    expected.serial = 1;
    const auto log = fake->requests();
    EXPECT_EQ(log.back().in, block_bytes(expected)) << describe(log.back());
    EXPECT_EQ(lib->moves[0].commanded_distance, -500);
    EXPECT_EQ(lib->moves[0].move_mode, 1);
    EXPECT_EQ(axis(1).last_direction, -1);
    EXPECT_EQ(lib->settings.command_counter, 1);
}

TEST_F(MovesTest, ConstantBlockLeavesFieldsItDoesNotWriteAsThePreviousRequestLeftThem) {
    ASSERT_EQ(fast_pmove(*lib, 1, -500), 0);
    ASSERT_EQ(set_io_pos(*lib, 2, 11, 22), 0);
    fake->clear_requests();
    ASSERT_EQ(con_pmove(*lib, 2, 500), 0);
    EXPECT_EQ(trace(*fake), concat({validations(1), busy_tests({2}), {rd(2, REG_MODE), block(2)}}));
    MotionBlock expected = blocks().back();
    const MotionBlock b = expected;
    EXPECT_EQ(b.axis, 2);
    EXPECT_EQ(b.block_type, kBlockConstant);
    EXPECT_EQ(b.speed_select, 1);
    EXPECT_EQ(b.speed_word_1, 2);
    EXPECT_EQ(b.distance, 500);
    EXPECT_EQ(b.mode_image, 0x202610u);
    EXPECT_EQ(b.io_open_pos, 11);
    EXPECT_EQ(b.io_close_pos, 22);
    EXPECT_EQ(b.serial, 2);
    // Not written by a constant block: still what the ramped block carried.
    EXPECT_EQ(b.speed_word_2, 8);
    EXPECT_EQ(b.speed_word_3, 8);
    EXPECT_EQ(b.accel_word, 65535);
    EXPECT_EQ(b.decel_word, 65535);
    EXPECT_EQ(lib->moves[1].move_mode, 0);
}

TEST_F(MovesTest, TwoAxisRampedMoveSendsItsRequestsInOrder) {
    ASSERT_EQ(point(kFast, {{1, 1000}, {2, -500}}), 0);
    EXPECT_EQ(trace(*fake),
              concat({validations(2), busy_tests({1, 2}),
                      {rd(1, REG_MODE), wr(1, REG_RAMP_AUX, 0), rd(2, REG_MODE),
                       wr(2, REG_RAMP_AUX, 0), block(1), block(2)}}));
    const auto b = blocks();
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].group_remaining, 2);
    EXPECT_EQ(b[1].group_remaining, 1);
    EXPECT_EQ(b[0].distance, 1000);
    EXPECT_EQ(b[1].distance, 500);
    EXPECT_EQ(b[0].serial, 1);
    EXPECT_EQ(b[1].serial, 1);
    EXPECT_EQ(lib->settings.command_counter, 1);
    EXPECT_EQ(lib->moves[0].commanded_distance, 1000);
    EXPECT_EQ(lib->moves[1].commanded_distance, -500);
}

TEST_F(MovesTest, ThreeAxisGroupCountsDownAndAdvancesSerialOnce) {
    ASSERT_EQ(point(kCon, {{3, 10}, {1, 20}, {2, 30}}), 0);
    const auto b = blocks();
    ASSERT_EQ(b.size(), 3u);
    const int axes[] = {3, 1, 2};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(b[k].axis, axes[k]);
        EXPECT_EQ(b[k].group_remaining, 3 - k);
        EXPECT_EQ(b[k].serial, 1);
    }
    EXPECT_EQ(lib->block.group_remaining, 1);
}

// The all-zero shortcut of each point member: whether anything is validated or sent.
struct ZeroCase {
    const char* name;
    std::vector<AxisArg> axes;
    int result;
    size_t requests;  // requests the call makes
    size_t blocks;
};

TEST_F(MovesTest, AllZeroShortcutDiffersByAxisCount) {
    const ZeroCase cases[] = {
        {"one axis, valid: validated, nothing sent", {{1, 0}}, 0, 2, 0},
        {"one axis, invalid: refused by validation", {{9, 0}}, -1, 0, 0},
        {"two axes: nothing validated", {{9, 0}, {9, 0}}, 0, 0, 0},
        {"three axes: nothing validated", {{9, 0}, {9, 0}, {9, 0}}, 0, 0, 0},
        {"four axes: no shortcut, four blocks", {{1, 0}, {2, 0}, {3, 0}, {4, 0}}, 0, 28, 4},
    };
    for (const ZeroCase& c : cases) {
        for (bool ramped : {kCon, kFast}) {
            fake->clear_requests();
            const int counter = lib->settings.command_counter;
            EXPECT_EQ(point(ramped, c.axes), c.result) << c.name;
            const size_t aux = ramped ? c.blocks : 0;  // REG_RAMP_AUX writes
            EXPECT_EQ(fake->request_count(), c.requests + aux) << c.name << "\n" << fake->dump();
            EXPECT_EQ(blocks().size(), c.blocks) << c.name;
            for (const MotionBlock& b : blocks()) EXPECT_EQ(b.distance, 0);
            EXPECT_EQ(lib->settings.command_counter, counter + (c.blocks ? 1 : 0)) << c.name;
        }
    }
}

struct RefusalCase {
    const char* name;
    MoveFamily family;
    std::vector<AxisArg> axes;
    int32_t error;
};

TEST_F(MovesTest, RefusedCallsSendNoBlockAndChangeNothing) {
    const RefusalCase cases[] = {
        {"same axis twice", point_family(kCon, 2), {{1, 100}, {1, 200}}, kErrSameAxis},
        {"first and third equal", point_family(kFast, 3), {{1, 100}, {2, 100}, {1, 100}},
         kErrSameAxis},
        {"continuous, same axis", velocity_family(kCon), {{1, 1}, {2, 1}, {2, -1}}, kErrSameAxis},
        {"home, four axes, same axis", home_family(kFast), {{1, 1}, {2, 1}, {3, 1}, {3, 1}},
         kErrSameAxis},
        {"axis out of range", point_family(kCon, 2), {{1, 100}, {9, 100}}, kErrBadAxis},
        {"step without a block form", point_family(kCon, 1),
         {{1, std::numeric_limits<int32_t>::min()}}, kErrBadParam},
    };
    for (const RefusalCase& c : cases) {
        fake->clear_requests();
        lib->last_error = 0;
        EXPECT_EQ(run_move(*lib, c.family, c.axes), -1) << c.name;
        EXPECT_EQ(lib->last_error, c.error) << c.name;
        EXPECT_TRUE(blocks().empty()) << c.name;
        EXPECT_EQ(fake->count(kCmdReadAxisReg), 0u) << c.name << ": no status or mode read";
        EXPECT_EQ(lib->block.serial, 0) << c.name;
        EXPECT_EQ(lib->settings.command_counter, 0) << c.name;
    }
}

TEST_F(MovesTest, MovingOrUnreadableAxisIsRefusedAfterEveryAxisWasAsked) {
    fake->set_busy(2, true);
    for (const MoveFamily& f : {point_family(kFast, 2), velocity_family(kCon), home_family(kFast)}) {
        fake->clear_requests();
        EXPECT_EQ(run_move(*lib, f, {{{1, 5}, {2, 5}}}), -1);
        EXPECT_EQ(lib->last_error, kErrAxisMoving);
        EXPECT_EQ(trace(*fake), concat({validations(2), busy_tests({1, 2})}));
    }
    fake->set_busy(2, false);
    fake->clear_requests();
    fake->fail_at(6);  // the status read of axis 1
    EXPECT_EQ(point(kCon, {{1, 5}, {2, 5}}), -1);
    EXPECT_EQ(lib->last_error, kErrAxisMoving);
    EXPECT_TRUE(blocks().empty());
    EXPECT_EQ(lib->block.serial, 0);
}

TEST_F(MovesTest, RefusedBlockFailsTheCallAfterSendingEveryBlock) {
    fake->refuse_motion_next(1);
    EXPECT_EQ(point(kCon, {{1, 100}, {2, 200}}), -1);
    EXPECT_EQ(lib->last_error, kErrMotionRefused);
    EXPECT_EQ(blocks().size(), 2u);
    EXPECT_EQ(lib->settings.command_counter, 0);
    EXPECT_EQ(lib->block.serial, 1);
    EXPECT_EQ(lib->moves[0].commanded_distance, 0) << "no move record for a failed call";
    EXPECT_EQ(lib->moves[1].commanded_distance, 0);
}

TEST_F(MovesTest, UnreadableModeRegisterSendsNoBlockAtAll) {
    // Requests: 2 x validation (4), 2 x busy test (6), mode of axis 1, mode of axis 2.
    for (size_t failing : {size_t{10}, size_t{11}}) {
        fake->clear_requests();
        fake->fail_at(failing);
        EXPECT_EQ(velocity(kCon, {{1, 1}, {2, 1}}), -1);
        EXPECT_TRUE(blocks().empty()) << fake->dump();
        EXPECT_EQ(lib->last_error, kErrRequestFailed);
    }
    fake->clear_requests();
    fake->fail_at(5);  // mode read of axis 1 (1 validation + 1 busy test before it)
    EXPECT_EQ(fast_pmove(*lib, 3, 100), -1);
    EXPECT_TRUE(blocks().empty());
    EXPECT_EQ(axis(3).last_direction, 0) << "nothing prepared from an image not read";
    EXPECT_EQ(fake->writes_to(3, REG_RAMP_AUX).size(), 0u);
    EXPECT_EQ(lib->settings.command_counter, 0);
}

TEST_F(MovesTest, BacklashCompensationFollowsArmedOnAndOff) {
    ASSERT_EQ(set_backlash(*lib, 1, 20), 0);
    ASSERT_EQ(start_backlash(*lib, 1), 0);
    const struct {
        int32_t step;
        int32_t sent;
    } sequence[] = {{100, 120}, {100, 100}, {-100, 120}, {-100, 100}, {100, 120}};
    for (const auto& s : sequence) {
        fake->clear_requests();
        ASSERT_EQ(con_pmove(*lib, 1, s.step), 0);
        EXPECT_EQ(blocks().at(0).distance, s.sent) << s.step;
        EXPECT_EQ(lib->moves[0].commanded_distance, s.step) << "record without backlash";
    }
    EXPECT_EQ(axis(1).backlash_state, BACKLASH_ON);
    ASSERT_EQ(end_backlash(*lib, 1), 0);
    fake->clear_requests();
    ASSERT_EQ(con_pmove(*lib, 1, -100), 0);
    EXPECT_EQ(blocks().at(0).distance, 100);
}

TEST_F(MovesTest, ArmedBacklashMakesAZeroStepOfAGroupTravel) {
    ASSERT_EQ(start_backlash(*lib, 2), 0);
    ASSERT_EQ(point(kCon, {{1, 500}, {2, 0}}), 0);
    const auto b = blocks();
    EXPECT_EQ(b.at(0).distance, 500);
    EXPECT_EQ(b.at(1).distance, 20);
    EXPECT_EQ(axis(2).last_direction, 1);
}

TEST_F(MovesTest, ContinuousMoveDirectionCountsForBacklashOfTheNextPointMove) {
    ASSERT_EQ(start_backlash(*lib, 1), 0);
    ASSERT_EQ(con_pmove(*lib, 1, 50), 0);  // armed -> on, direction +1
    ASSERT_EQ(velocity(kCon, {{1, -3}}), 0);
    EXPECT_EQ(axis(1).last_direction, -1);
    EXPECT_EQ(axis(1).backlash_state, BACKLASH_ON) << "continuous moves leave the state alone";
    fake->clear_requests();
    ASSERT_EQ(con_pmove(*lib, 1, 50), 0);
    EXPECT_EQ(blocks().at(0).distance, 70);
}

TEST_F(MovesTest, CompensatedDistanceMustFitABlock) {
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const struct {
        int32_t backlash;
        bool armed;
        int32_t step;
        int result;
        int32_t sent;
    } cases[] = {
        {20, false, kMin, -1, 0},
        {20, false, kMax, 0, kMax},
        {20, true, kMax, -1, 0},      // would overflow
        {-5, true, kMin, 0, kMax - 4},  // the negative backlash brings it into range
        {-5, true, 3, -1, 0},          // a negative distance has no block form either
    };
    for (const auto& c : cases) {
        fake->clear_requests();
        lib->last_error = 0;
        axis(1).backlash = c.backlash;
        axis(1).backlash_state = c.armed ? BACKLASH_ARMED : BACKLASH_OFF;
        EXPECT_EQ(con_pmove(*lib, 1, c.step), c.result) << c.step << " " << c.backlash;
        if (c.result == 0) {
            EXPECT_EQ(blocks().at(0).distance, c.sent);
        } else {
            EXPECT_TRUE(blocks().empty());
            EXPECT_EQ(lib->last_error, kErrBadParam);
            EXPECT_EQ(axis(1).backlash_state, c.armed ? BACKLASH_ARMED : BACKLASH_OFF);
        }
    }
}

TEST_F(MovesTest, RampFlagDecidesTheRampFlagBitsOfPointMoves) {
    const struct {
        uint8_t flag;
        uint32_t reg;  // REG_MODE as the board reads it
        uint32_t con_image, fast_image;
    } cases[] = {
        {2, MODE_DEFAULT | 0x11000, 0x202610, 0x203615},
        {1, MODE_DEFAULT, 0x212610, 0x213615},
        {0, MODE_DEFAULT | 0x10000, 0x212610, 0x213615},  // bit 16 kept as read
        {0, MODE_DEFAULT, 0x202610, 0x203615},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(set_ramp_flag(*lib, c.flag), 0);
        fake->set_axis_reg(1, REG_MODE, static_cast<int32_t>(c.reg));
        fake->clear_requests();
        ASSERT_EQ(con_pmove(*lib, 1, 321), 0);
        ASSERT_EQ(fast_pmove(*lib, 1, 321), 0);
        const auto b = blocks();
        ASSERT_EQ(b.size(), 2u);
        EXPECT_EQ(b[0].mode_image, c.con_image) << int(c.flag);
        EXPECT_EQ(b[1].mode_image, c.fast_image) << int(c.flag);
        EXPECT_EQ(b[0].distance, 321) << "the distance asked for, whatever the ramp flag";
        EXPECT_EQ(b[1].distance, 321);
    }
}

TEST_F(MovesTest, ContinuousAndHomeModeImages) {
    const struct {
        const char* name;
        MoveFamily family;
        int dir;
        uint32_t image;
        int32_t type;
    } cases[] = {
        {"fast_vmove +", velocity_family(kFast), 1, 0x202215, kBlockRamped},
        {"con_vmove 0 is negative", velocity_family(kCon), 0, 0x202A10, kBlockConstant},
        {"con_vmove 5 is positive", velocity_family(kCon), 5, 0x202210, kBlockConstant},
        {"con_hmove -1", home_family(kCon), -1, 0x202B10, kBlockConstant},
        {"fast_hmove +", home_family(kFast), 1, 0x202315, kBlockRamped},
    };
    for (const auto& c : cases) {
        fake->set_axis_reg(1, REG_MODE, static_cast<int32_t>(MODE_DEFAULT));
        fake->clear_requests();
        ASSERT_EQ(run_move(*lib, c.family, {{{1, c.dir}}}), 0) << c.name;
        std::vector<std::string> expected = concat({validations(1), busy_tests({1}), {rd(1, REG_MODE)}});
        if (c.family.ramped) expected.push_back(wr(1, REG_RAMP_AUX, 0));
        expected.push_back(block(1));
        EXPECT_EQ(trace(*fake), expected) << c.name;
        const MotionBlock b = blocks().at(0);
        EXPECT_EQ(b.mode_image, c.image) << c.name;
        EXPECT_EQ(b.block_type, c.type) << c.name;
        EXPECT_EQ(b.distance, kEndlessDistance) << c.name;
        EXPECT_EQ(b.group_remaining, 1) << c.name;
    }
    EXPECT_EQ(lib->moves[0].commanded_distance, 0) << "continuous and home moves make no record";
}

TEST_F(MovesTest, OrgStopBitOfContinuousAndHomeMovesFollowsTheFlags) {
    ASSERT_EQ(enable_org(*lib, 1, 0), 0);
    ASSERT_EQ(enable_el(*lib, 1, 0), 0);
    // The board reports the ORG stop bit set: with both flags off a continuous move keeps it.
    fake->set_axis_reg(1, REG_MODE, static_cast<int32_t>(MODE_DEFAULT | MODE_ORG_STOP));
    ASSERT_EQ(velocity(kCon, {{1, 1}}), 0);
    EXPECT_NE(blocks().back().mode_image & MODE_ORG_STOP, 0u);
    // A home move with org off leaves it as read too.
    fake->set_axis_reg(1, REG_MODE, static_cast<int32_t>(MODE_DEFAULT));
    ASSERT_EQ(home(kCon, {{1, 1}}), 0);
    EXPECT_EQ(blocks().back().mode_image & MODE_ORG_STOP, 0u);
    // With the limit flag on, a continuous move clears it.
    ASSERT_EQ(enable_el(*lib, 1, 1), 0);
    fake->set_axis_reg(1, REG_MODE, static_cast<int32_t>(MODE_DEFAULT | MODE_ORG_STOP));
    ASSERT_EQ(velocity(kCon, {{1, 1}}), 0);
    EXPECT_EQ(blocks().back().mode_image & MODE_ORG_STOP, 0u);
}

TEST_F(MovesTest, EveryMoveConvertsTheStoredSpeedsAgain) {
    // Registers spoiled behind the library's back are recomputed before the block goes out.
    axis(1).conspeed_reg = 777;
    axis(1).high_speed_reg = 999;
    ASSERT_EQ(con_pmove(*lib, 1, 10), 0);
    EXPECT_EQ(blocks().back().speed_word_1, 2);
    axis(1).high_speed_reg = 999;
    ASSERT_EQ(velocity(kFast, {{1, 1}}), 0);
    EXPECT_EQ(blocks().back().speed_word_2, 8);
}

TEST(ProfileMoveTime, TrapezoidAndTriangle) {
    EXPECT_NEAR(profile_move_time(10000, 1000.0, 5000.0, 10000.0), 2.32, 1e-12);
    EXPECT_NEAR(profile_move_time(1000, 1000.0, 5000.0, 10000.0),
                (2.0 * std::sqrt(11000000.0) - 2000.0) / 10000.0, 1e-12);
    EXPECT_NEAR(profile_move_time(1000, 500.0, 500.0, 10000.0), 2.0, 1e-12) << "no ramp at all";
}

}  // namespace
}  // namespace dravik::test
