// The power-on defaults written by init_board.
#include "axis/defaults.h"

#include <gtest/gtest.h>

#include "axis/registers.h"
#include "core/board.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

class DefaultsTest : public LibraryTest {};

TEST_F(DefaultsTest, EveryAxisGetsItsDefaults) {
    start({4, 4});
    for (int ch = 1; ch <= 8; ++ch) {
        SCOPED_TRACE(ch);
        const AxisState& a = axis(ch);
        EXPECT_EQ(a.mode_shadow, MODE_DEFAULT);
        EXPECT_EQ(a.backlash, 20);
        EXPECT_EQ(a.backlash_state, BACKLASH_OFF);
        EXPECT_EQ(a.last_direction, 0);
        EXPECT_EQ(a.el_enabled, 1);
        EXPECT_EQ(a.org_enabled, 1);
        EXPECT_DOUBLE_EQ(a.max_speed, 8200000.0);
        EXPECT_DOUBLE_EQ(a.conspeed, 2000.0);
        EXPECT_DOUBLE_EQ(a.low_speed, 2000.0);
        EXPECT_DOUBLE_EQ(a.high_speed, 8000.0);
        EXPECT_DOUBLE_EQ(a.accel, 80000.0);
        EXPECT_DOUBLE_EQ(a.decel, 80000.0);
    }
    EXPECT_EQ(lib->settings.ramp_flag, 2);
    EXPECT_EQ(lib->settings.rate_from_speed, 0);
    EXPECT_DOUBLE_EQ(lib->settings.vector_conspeed, 2000.0);
    EXPECT_DOUBLE_EQ(lib->settings.vector_low_speed, 2000.0);
    EXPECT_DOUBLE_EQ(lib->settings.vector_high_speed, 8000.0);
    EXPECT_DOUBLE_EQ(lib->settings.vector_accel, 80000.0);
    EXPECT_EQ(lib->block.serial, 0);
    EXPECT_EQ(lib->block.group_remaining, 1);
}

TEST_F(DefaultsTest, InitBoardResetsEarlierSettings) {
    create({2});
    lib->settings.ramp_flag = 1;  // as set_ramp_flag(1) before init_board
    lib->block.serial = 55;
    ASSERT_EQ(auto_set(*lib), 2);
    ASSERT_EQ(init_board(*lib), 1);
    EXPECT_EQ(lib->settings.ramp_flag, 2);
    EXPECT_EQ(lib->block.serial, 0);
}

TEST_F(DefaultsTest, RefusedBoardStartWritesNoRegister) {
    create({4});
    ASSERT_EQ(auto_set(*lib), 4);
    fake->clear_requests();
    fake->fail_at(2);  // start_board_init after count and one board info
    EXPECT_EQ(init_board(*lib), -1);
    EXPECT_EQ(fake->count(kCmdWriteAxisReg), 0u);
    EXPECT_EQ(axis(1).backlash, 20);  // AxisState is reset all the same
    EXPECT_EQ(lib->boards.boards_ready, 1);
}

TEST_F(DefaultsTest, BusyAxisKeepsUnconvertedRegisters) {
    create({2});
    fake->set_busy(2, true);
    ASSERT_EQ(auto_set(*lib), 2);
    ASSERT_EQ(init_board(*lib), 1);
    EXPECT_EQ(axis(1).conspeed_reg, 2);
    EXPECT_EQ(axis(1).accel_reg, 65535);
    EXPECT_DOUBLE_EQ(axis(2).conspeed, 2000.0);
    EXPECT_EQ(axis(2).conspeed_reg, 0);
    EXPECT_EQ(axis(2).accel_reg, 0);
    EXPECT_EQ(axis(2).rate_divider, 0);
}

TEST_F(DefaultsTest, FailedRegisterWritesDoNotStopTheDefaults) {
    create({2});
    ASSERT_EQ(auto_set(*lib), 2);
    fake->clear_requests();
    fake->fail_at(4);  // REG_MODE write of axis 1
    EXPECT_EQ(init_board(*lib), 1);
    EXPECT_EQ(fake->writes_to(2, REG_MODE), std::vector<int32_t>{int32_t(MODE_DEFAULT)});
    EXPECT_EQ(fake->writes_to(1, REG_INPUT_CONFIG), std::vector<int32_t>{0});
}

}  // namespace
}  // namespace dravik::test
