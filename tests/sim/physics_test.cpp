// Motion physics against the frozen clock: speeds and accelerations from the registers, ramp
// timing against the closed-form move time, exact end positions, stops and on-the-fly changes.
#include <gtest/gtest.h>

#include "motion_profile.h"
#include "sim_rig.h"

namespace dravik::sim::testing {
namespace {

// Rate 1.0 (divider 1007): speed registers read directly in pulses/s; accel register 3300 is
// 10000 pulses/s^2.
constexpr int32_t kDiv = 1007;

TEST(Clock, FrozenClockMovesOnlyWhenAdvancedAndSaturates) {
    SimClock clock(SimClock::Start::Frozen);
    EXPECT_EQ(clock.now_ns(), 0);
    clock.advance(-5);
    EXPECT_EQ(clock.now_ns(), 0);
    clock.advance(1500);
    EXPECT_EQ(clock.now_ns(), 1500);
    clock.advance(INT64_MAX);
    clock.advance(INT64_MAX);
    EXPECT_EQ(clock.now_ns(), SimClock::kMaxAdvance);
    SimClock running;
    running.advance(INT64_MAX);
    EXPECT_GE(running.now_ns(), SimClock::kMaxAdvance);
    running.freeze();
    const int64_t at = running.now_ns();
    running.resume();
    EXPECT_GE(running.now_ns(), at);
}

TEST(Profile, RampedDurationMatchesClosedFormForTrapezoidAndTriangle) {
    struct Case { double distance, vl, vh, a; };
    const Case cases[] = {{10000, 1000, 5000, 10000}, {1000, 1000, 5000, 10000},
                          {1, 2000, 8000, 507080}, {123456, 17, 90000, 3.3e5},
                          {5000, 5000, 5000, 1000}};
    for (const auto& c : cases) {
        const Profile p = Profile::ramped(c.vl, c.distance, c.vh, c.vl, c.a, c.a);
        EXPECT_NEAR(p.duration(), ramped_move_time(c.distance, c.vl, c.vh, c.a),
                    1e-9 * p.duration()) << c.distance;
        EXPECT_NEAR(p.distance_at(p.duration()), c.distance, 1e-6);
    }
    EXPECT_NEAR(ramped_move_time(10000, 1000, 5000, 10000), 2.32, 1e-12);
    EXPECT_NEAR(ramped_move_time(1000, 1000, 5000, 10000), 0.46332495807, 1e-9);
}

TEST(Profile, BrakesHarderRatherThanOvershootAndCruisesWhenEndless) {
    // At 5000 pulses/s, 100 pulses before the end, braking at 10000 would need 1200 pulses.
    const Profile p = Profile::ramped(5000, 100, 5000, 1000, 10000, 10000);
    EXPECT_NEAR(p.distance_at(p.duration()), 100.0, 1e-9);
    EXPECT_NEAR(p.speed_at(p.duration() * 0.999), 1000.0, 5.0);
    const Profile e = Profile::ramped(1000, kInfinite, 5000, 1000, 10000, 10000);
    EXPECT_TRUE(e.endless());
    EXPECT_DOUBLE_EQ(e.speed_at(100.0), 5000.0);
    EXPECT_NEAR(e.distance_at(1.4), 1200.0 + 5000.0, 1e-6);
}

TEST(Physics, ConstantMoveRunsAtRegisterSpeedAndEndsExactly) {
    SimRig rig;
    // Register 10 at divider 1: 10070 pulses/s; 1007 pulses take 0.1 s.
    ASSERT_TRUE(rig.move(constant_block(1, 1007, 10)));
    rig.advance(0.05);
    EXPECT_EQ(rig.abs_pos(1), 503);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 10);
    EXPECT_EQ(rig.remaining(1), 1007 - 503);
    EXPECT_TRUE(rig.busy(1));
    rig.advance(0.05 - 1e-6);
    EXPECT_TRUE(rig.busy(1));
    rig.advance(2e-6);
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 1007);
    EXPECT_EQ(rig.rel_pos(1), 1007);
    EXPECT_EQ(rig.remaining(1), 0);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 0);
}

TEST(Physics, RampedMovesTakeTheClosedFormTimeAndEndOnTheirDistance) {
    struct Case { int32_t distance, low, high, accel_reg, divider; };
    const Case cases[] = {
        {10000, 1000, 5000, 3300, kDiv},  // trapezoid, 2.32 s
        {1000, 1000, 5000, 3300, kDiv},   // triangle
        {500, 2, 8, 65535, 1},            // the library's default profile
        {77777, 100, 8191, 1000, 10},     // fine speed unit
    };
    for (const auto& c : cases) {
        SimRig rig;
        ASSERT_TRUE(rig.move(ramped_block(2, c.distance, c.low, c.high, c.accel_reg, c.divider)));
        const double vl = speed_of(c.low, c.divider), vh = speed_of(c.high, c.divider);
        const double t = ramped_move_time(c.distance, vl, vh, accel_of(c.accel_reg, c.divider));
        rig.advance(t - 1e-5);
        EXPECT_TRUE(rig.busy(2)) << c.distance;
        EXPECT_LT(rig.abs_pos(2), c.distance);
        rig.advance(2e-5);
        EXPECT_FALSE(rig.busy(2)) << c.distance;
        EXPECT_EQ(rig.abs_pos(2), c.distance);
        EXPECT_EQ(rig.remaining(2), 0);
    }
}

TEST(Physics, RampPositionsAndSpeedsFollowTheProfile) {
    SimRig rig;
    ASSERT_TRUE(rig.move(ramped_block(1, 10000, 1000, 5000, 3300, kDiv)));
    rig.advance(0.25);  // accelerating: 1000*0.25 + 5000*0.0625
    EXPECT_EQ(rig.abs_pos(1), 562);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 3500);
    rig.advance(0.75);  // t = 1.0, cruising since 0.4 s
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 5000);
    rig.advance(1.12);  // t = 2.12: 0.2 s before the end, braking
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 3000);
}

TEST(Physics, NegativeMoveCountsDownWithRelativePositionSigned) {
    SimRig rig;
    ASSERT_TRUE(rig.command(kCmdWriteAbsPos, {1, 100}));
    ASSERT_TRUE(rig.move(constant_block(1, 500, 10, 1, kConstantMode | MODE_DIR_NEG)));
    EXPECT_EQ(rig.word0(kCmdReadCurDir, {1}), -1);
    rig.advance(1.0);
    EXPECT_EQ(rig.abs_pos(1), -400);
    EXPECT_EQ(rig.rel_pos(1), -500);
    EXPECT_EQ(rig.word0(kCmdReadCurDir, {1}), -1);
    ASSERT_TRUE(rig.move(constant_block(1, 50, 10)));
    EXPECT_EQ(rig.rel_pos(1), 0);  // counted from the new move's start
    EXPECT_EQ(rig.word0(kCmdReadCurDir, {1}), 1);
}

TEST(Physics, ImmediateStopHaltsWhereTheAxisIsAndKeepsTheRemainder) {
    SimRig rig;
    ASSERT_TRUE(rig.move(ramped_block(1, 10000, 1000, 5000, 3300, kDiv)));
    rig.advance(1.0001);
    const uint32_t mode = rig.read_reg(1, REG_MODE);
    rig.write_reg(1, REG_MODE, (mode & ~MODE_RUN) | MODE_RUN_STOP);
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 4200);
    EXPECT_EQ(rig.remaining(1), 5800);
    rig.advance(1.0);
    EXPECT_EQ(rig.abs_pos(1), 4200);
}

TEST(Physics, DeceleratingStopBrakesAtTheDecelerationToTheLowSpeed) {
    SimRig rig;
    ASSERT_TRUE(rig.move(ramped_block(1, 10000, 1000, 5000, 3300, kDiv)));
    rig.advance(1.0);  // at 4200, 5000 pulses/s: braking to 1000 takes 0.4 s over 1200 pulses
    rig.write_reg(1, REG_MODE, rig.read_reg(1, REG_MODE) | MODE_RUN_DECEL_STOP);
    rig.advance(0.2);
    EXPECT_TRUE(rig.busy(1));
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 3000);
    rig.advance(0.2 + 1e-4);
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 5400);
    EXPECT_EQ(rig.remaining(1), 4600);
}

TEST(Physics, DeceleratingStopOfConstantMoveIsImmediate) {
    SimRig rig;
    ASSERT_TRUE(rig.move(constant_block(1, 1007, 10)));
    rig.advance(0.05);
    rig.write_reg(1, REG_MODE, rig.read_reg(1, REG_MODE) | MODE_RUN_DECEL_STOP);
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 503);
}

TEST(Physics, DistanceChangeLengthensOrShortensTheRunningMove) {
    for (int32_t delta : {500, -400}) {
        SimRig rig;
        rig.write_reg(1, REG_INPUT_CONFIG, CFG_CHANGE_POS);
        ASSERT_TRUE(rig.move(constant_block(1, 1007, 10)));
        rig.advance(0.05);
        rig.write_reg(1, REG_DISTANCE_CHANGE, static_cast<uint32_t>(delta));
        ASSERT_TRUE(rig.command(kCmdAdjustDistance, {1, delta}));
        EXPECT_EQ(rig.remaining(1), 1007 + delta - 503);
        EXPECT_GE(rig.run_until_idle(1, 0.01, 1.0), 0.0);
        EXPECT_EQ(rig.abs_pos(1), 1007 + delta) << delta;
    }
}

TEST(Physics, DistanceChangeOfRampedMoveBrakesOnTheNewEnd) {
    SimRig rig;
    rig.write_reg(1, REG_INPUT_CONFIG, CFG_CHANGE_POS);
    ASSERT_TRUE(rig.move(ramped_block(1, 10000, 1000, 5000, 3300, kDiv)));
    rig.advance(1.0);  // at 4200, cruising
    ASSERT_TRUE(rig.command(kCmdAdjustDistance, {1, -4000}));  // new end 6000, still reachable
    EXPECT_GE(rig.run_until_idle(1, 0.01, 3.0), 0.0);
    EXPECT_EQ(rig.abs_pos(1), 6000);
    EXPECT_EQ(rig.remaining(1), 0);
}

TEST(Physics, DistanceChangeIsRefusedUnlessTheChangeFunctionIsOn) {
    SimRig rig;
    ASSERT_TRUE(rig.move(constant_block(1, 1007, 10)));
    EXPECT_FALSE(rig.command(kCmdAdjustDistance, {1, 100}));
    rig.write_reg(1, REG_INPUT_CONFIG, CFG_CHANGE_POS);
    EXPECT_TRUE(rig.command(kCmdAdjustDistance, {1, 100}));
    rig.advance(1.0);
    EXPECT_EQ(rig.abs_pos(1), 1107);
    EXPECT_TRUE(rig.command(kCmdAdjustDistance, {1, 100}));  // at rest: nothing to change
    EXPECT_EQ(rig.abs_pos(1), 1107);
}

TEST(Physics, ChangesDuringADeceleratingStopDoNotUndoIt) {
    SimRig rig;
    rig.write_reg(1, REG_INPUT_CONFIG, CFG_CHANGE_POS);
    ASSERT_TRUE(rig.move(ramped_block(1, 10000, 1000, 5000, 3300, kDiv)));
    rig.advance(1.0);  // at 4200, 5000 pulses/s: the stop ends at 5400
    rig.write_reg(1, REG_MODE, rig.read_reg(1, REG_MODE) | MODE_RUN_DECEL_STOP);
    rig.advance(0.1);
    rig.write_reg(1, REG_SPEED_CHANGE, 8000);  // no speeding up while stopping
    ASSERT_TRUE(rig.command(kCmdAdjustDistance, {1, 1000}));
    EXPECT_LT(rig.read_reg(1, REG_CURRENT_SPEED), 5000);
    EXPECT_GE(rig.run_until_idle(1, 0.01, 1.0), 0.0);
    EXPECT_EQ(rig.abs_pos(1), 5400);
    EXPECT_EQ(rig.remaining(1), 11000 - 5400);  // the longer move had this much still to go
}

TEST(Physics, SpeedChangeOfRampedMoveRampsToTheNewSpeedAndKeepsTheDistance) {
    SimRig rig;
    ASSERT_TRUE(rig.move(ramped_block(1, 10000, 1000, 5000, 3300, kDiv)));
    rig.advance(1.0);
    rig.write_reg(1, REG_SPEED_CHANGE, 2000);  // braking to 2000 takes 0.3 s
    rig.advance(0.15);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 3500);
    rig.advance(0.35);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 2000);
    EXPECT_GE(rig.run_until_idle(1, 0.01, 10.0), 0.0);
    EXPECT_EQ(rig.abs_pos(1), 10000);
}

TEST(Physics, AccelerationChangeAppliesToTheRunningRamp) {
    SimRig rig;
    ASSERT_TRUE(rig.move(ramped_block(1, 100000, 1000, 5000, 3300, kDiv)));
    rig.advance(0.1);  // 2000 pulses/s
    rig.write_reg(1, REG_ACCEL_CHANGE, 6600);  // 5000 pulses/s^2
    rig.write_reg(1, REG_DECEL_CHANGE, 6600);
    rig.advance(0.4);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 4000);
    rig.write_reg(1, REG_MODE, rig.read_reg(1, REG_MODE) | MODE_RUN_DECEL_STOP);
    rig.advance(0.6 - 1e-4);  // braking 4000 -> 1000 at 5000 takes 0.6 s
    EXPECT_TRUE(rig.busy(1));
    rig.advance(2e-4);
    EXPECT_FALSE(rig.busy(1));
}

TEST(Physics, EncoderCountsPulsesOnceOrFourTimesAndPositionCommandsWork) {
    SimRig rig;
    ASSERT_TRUE(rig.move(constant_block(1, 100, 10)));
    rig.advance(1.0);
    EXPECT_EQ(rig.read_reg(1, REG_ENCODER), 100);
    rig.write_reg(1, REG_INPUT_CONFIG, CFG_ENCODER_X4);
    ASSERT_TRUE(rig.move(constant_block(1, 100, 10, 1, kConstantMode | MODE_DIR_NEG)));
    rig.advance(1.0);
    EXPECT_EQ(rig.read_reg(1, REG_ENCODER), 100 - 400);
    EXPECT_EQ(rig.abs_pos(1), 0);
    rig.write_reg(1, REG_INPUT_CONFIG, CFG_ENCODER_X4 | CFG_GETPOS_MODE);
    EXPECT_EQ(rig.abs_pos(1), -300);  // position source: the encoder
    rig.write_reg(1, REG_INPUT_CONFIG, 0);
    ASSERT_TRUE(rig.command(kCmdWriteAbsPos, {1, 12345}));
    EXPECT_EQ(rig.abs_pos(1), 12345);
    ASSERT_TRUE(rig.command(kCmdClearPos, {1}));
    EXPECT_EQ(rig.abs_pos(1), 0);
    EXPECT_EQ(rig.rel_pos(1), 0);
    EXPECT_EQ(rig.read_reg(1, REG_ENCODER), -300);
    ASSERT_TRUE(rig.command(kCmdClearEncoder, {1}));
    EXPECT_EQ(rig.read_reg(1, REG_ENCODER), 0);
}

TEST(Physics, DirectionAtRestFollowsTheModeRegister) {
    SimRig rig;
    EXPECT_EQ(rig.word0(kCmdReadCurDir, {1}), 1);
    rig.write_reg(1, REG_MODE, MODE_DEFAULT | MODE_DIR_NEG);
    EXPECT_EQ(rig.word0(kCmdReadCurDir, {1}), -1);
}

TEST(Physics, GroupStartsAllItsAxesAtTheInstantOfItsLastBlock) {
    SimRig rig;
    MotionBlock b = constant_block(1, 1007, 10);
    b.group_remaining = 3;
    ASSERT_TRUE(rig.move(b));
    rig.advance(0.01);
    b.axis = 5;  // an axis of the second board
    b.group_remaining = 2;
    ASSERT_TRUE(rig.move(b));
    EXPECT_FALSE(rig.busy(1));
    rig.advance(0.01);
    b.axis = 3;
    b.group_remaining = 1;
    ASSERT_TRUE(rig.move(b));
    rig.advance(0.05);
    for (int32_t axis : {1, 3, 5}) {
        EXPECT_TRUE(rig.busy(axis));
        EXPECT_EQ(rig.abs_pos(axis), 503) << axis;
    }
    rig.advance(0.06);
    for (int32_t axis : {1, 3, 5}) EXPECT_EQ(rig.abs_pos(axis), 1007);
}

TEST(Physics, EndlessMoveRunsOnUntilStoppedAndReportsItsRemainder) {
    SimRig rig;
    ASSERT_TRUE(rig.move(constant_block(1, kEndlessDistance, 10, 1, kConstantMode & ~MODE_POSITIONING)));
    rig.advance(100.0);
    EXPECT_TRUE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 1007000);
    rig.write_reg(1, REG_MODE, (rig.read_reg(1, REG_MODE) & ~MODE_RUN) | MODE_RUN_STOP);
    EXPECT_EQ(rig.remaining(1), kEndlessDistance - 1007000);
}

}  // namespace
}  // namespace dravik::sim::testing
