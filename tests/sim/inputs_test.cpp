// Axis inputs: limits per direction with their enable and logic bits, ORG stop of home moves,
// slow-down, alarm, and the status bits that report them. Inputs are set through the control
// request, as `dravik-sim ctl input` does.
#include <gtest/gtest.h>

#include "control_protocol.h"
#include "sim_rig.h"

namespace dravik::sim::testing {
namespace {

constexpr uint32_t kEndlessMode = kConstantMode & ~MODE_POSITIONING;
constexpr uint32_t kEndlessRamped = (kRampedMode & ~(MODE_POSITIONING | MODE_POINT_RAMP));
enum Level : int32_t { kLow = 0, kHigh = 1, kActive = 2, kInactive = 3 };

class Inputs : public ::testing::Test {
protected:
    bool set_input(int32_t axis, AxisInput input, int32_t level) {
        const int32_t in[3] = {axis, static_cast<int32_t>(input), level};
        std::vector<uint8_t> out;
        return rig.request(kCtlSetAxisInput, in, sizeof in, 0, out).ok;
    }
    bool endless(int32_t axis, uint32_t extra_mode, bool negative = false) {
        return rig.move(constant_block(axis, kEndlessDistance, 10, 1,
                                       kEndlessMode | extra_mode | (negative ? MODE_DIR_NEG : 0)));
    }
    SimRig rig;
};

TEST_F(Inputs, StatusBitsReportEachActiveInput) {
    const struct { AxisInput input; uint32_t bit; } cases[] = {
        {AxisInput::PosLimit, STATUS_POS_LIMIT}, {AxisInput::NegLimit, STATUS_NEG_LIMIT},
        {AxisInput::Org, STATUS_HOME}, {AxisInput::SlowDown, STATUS_SD},
        {AxisInput::Alarm, STATUS_ALARM}};
    EXPECT_EQ(rig.status(2), 0u);
    for (const auto& c : cases) {
        ASSERT_TRUE(set_input(2, c.input, kActive));
        EXPECT_EQ(rig.status(2), c.bit);
        ASSERT_TRUE(set_input(2, c.input, kInactive));
        ASSERT_TRUE(set_input(2, c.input, kLow));  // active low under the power-on logic
        EXPECT_EQ(rig.status(2), c.bit);
        ASSERT_TRUE(set_input(2, c.input, kHigh));
    }
    EXPECT_EQ(rig.status(2), 0u);
    EXPECT_FALSE(set_input(9, AxisInput::Org, kActive));
    EXPECT_FALSE(set_input(1, static_cast<AxisInput>(5), kActive));
    EXPECT_FALSE(set_input(1, AxisInput::Org, 4));
}

TEST_F(Inputs, LogicBitsChooseTheActiveLevel) {
    const struct { uint32_t logic; AxisInput input; uint32_t bit; } cases[] = {
        {CFG_EL_LOGIC, AxisInput::PosLimit, STATUS_POS_LIMIT | STATUS_NEG_LIMIT},
        {CFG_SD_LOGIC, AxisInput::SlowDown, STATUS_SD},
        {CFG_ALM_LOGIC, AxisInput::Alarm, STATUS_ALARM},
        {CFG_ORG_LOGIC, AxisInput::Org, STATUS_HOME}};
    for (const auto& c : cases) {
        rig.write_reg(1, REG_INPUT_CONFIG, c.logic);  // idle-high inputs are now active
        EXPECT_EQ(rig.status(1), c.bit);
        ASSERT_TRUE(set_input(1, c.input, kInactive));
        EXPECT_EQ(rig.status(1) & (c.bit & ~STATUS_NEG_LIMIT & ~STATUS_POS_LIMIT), 0u);
        ASSERT_TRUE(set_input(1, c.input, kHigh));
        rig.write_reg(1, REG_INPUT_CONFIG, 0);
        EXPECT_EQ(rig.status(1), 0u);
    }
}

TEST_F(Inputs, LimitStopsOnlyMovesTowardsIt) {
    ASSERT_TRUE(endless(1, 0));
    rig.advance(0.01);
    ASSERT_TRUE(set_input(1, AxisInput::PosLimit, kActive));
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 100);
    EXPECT_NE(rig.status(1) & STATUS_POS_LIMIT, 0u);
    // Further on is refused by the input: the move ends at once without a pulse.
    ASSERT_TRUE(endless(1, 0));
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 100);
    // Back off the limit is allowed.
    ASSERT_TRUE(endless(1, 0, true));
    rig.advance(0.01);
    EXPECT_TRUE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 0);
    ASSERT_TRUE(set_input(1, AxisInput::NegLimit, kActive));
    EXPECT_FALSE(rig.busy(1));
}

TEST_F(Inputs, DisabledLimitDoesNotStop) {
    rig.write_reg(1, REG_INPUT_CONFIG, CFG_EL_DISABLE);
    ASSERT_TRUE(set_input(1, AxisInput::PosLimit, kActive));
    ASSERT_TRUE(endless(1, 0));
    rig.advance(0.01);
    EXPECT_TRUE(rig.busy(1));
    EXPECT_NE(rig.status(1) & STATUS_POS_LIMIT, 0u);  // still reported
    rig.write_reg(1, REG_INPUT_CONFIG, 0);  // enabling the limit stops at once
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 100);
}

TEST_F(Inputs, OrgStopsHomeMovesOnlyWhenOrgStopIsSet) {
    ASSERT_TRUE(endless(1, 0));  // a continuous move passes the ORG input
    ASSERT_TRUE(endless(2, MODE_ORG_STOP, true));
    rig.advance(0.02);
    ASSERT_TRUE(set_input(1, AxisInput::Org, kActive));
    ASSERT_TRUE(set_input(2, AxisInput::Org, kActive));
    EXPECT_TRUE(rig.busy(1));
    EXPECT_FALSE(rig.busy(2));
    EXPECT_EQ(rig.abs_pos(2), -201);  // 10070 pulses/s for 0.02 s
    EXPECT_NE(rig.status(2) & STATUS_HOME, 0u);
}

TEST_F(Inputs, HomeModeBitMakesTheOrgStopDecelerate) {
    rig.write_reg(1, REG_HOME_CONFIG, HOME_MODE_BIT);
    // Rate 1.0: 1000 -> 5000 pulses/s at 10000 pulses/s^2, endless.
    ASSERT_TRUE(rig.move(ramped_block(1, kEndlessDistance, 1000, 5000, 3300, 1007,
                                      kEndlessRamped | MODE_ORG_STOP)));
    rig.advance(1.0);  // at 1200 + 0.6 * 5000 = 4200
    ASSERT_TRUE(set_input(1, AxisInput::Org, kActive));
    EXPECT_TRUE(rig.busy(1));
    rig.advance(0.4 + 1e-4);
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 4200 + 1200);
}

TEST_F(Inputs, SlowDownHoldsARampedMoveAtItsLowSpeedWhileEnabledAndActive) {
    ASSERT_TRUE(rig.move(ramped_block(1, kEndlessDistance, 1000, 5000, 3300, 1007,
                                      kEndlessRamped | MODE_SD_ENABLE)));
    ASSERT_TRUE(rig.move(ramped_block(2, kEndlessDistance, 1000, 5000, 3300, 1007,
                                      kEndlessRamped & ~MODE_SD_ENABLE)));
    rig.advance(1.0);
    ASSERT_TRUE(set_input(1, AxisInput::SlowDown, kActive));
    ASSERT_TRUE(set_input(2, AxisInput::SlowDown, kActive));
    rig.advance(0.5);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 1000);
    EXPECT_EQ(rig.read_reg(2, REG_CURRENT_SPEED), 5000);
    EXPECT_TRUE(rig.busy(1));
    ASSERT_TRUE(set_input(1, AxisInput::SlowDown, kInactive));
    rig.advance(0.5);
    EXPECT_EQ(rig.read_reg(1, REG_CURRENT_SPEED), 5000);
}

TEST_F(Inputs, AlarmStopsAnyMoveAndRefusesNewOnes) {
    ASSERT_TRUE(endless(3, 0));
    rig.advance(0.01);
    ASSERT_TRUE(set_input(3, AxisInput::Alarm, kActive));
    EXPECT_FALSE(rig.busy(3));
    ASSERT_TRUE(endless(3, 0, true));
    EXPECT_FALSE(rig.busy(3));
    EXPECT_EQ(rig.abs_pos(3), 100);
    ASSERT_TRUE(set_input(3, AxisInput::Alarm, kInactive));
    ASSERT_TRUE(endless(3, 0, true));
    EXPECT_TRUE(rig.busy(3));
}

}  // namespace
}  // namespace dravik::sim::testing
