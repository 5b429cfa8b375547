// Axis configuration calls against the recording FakeDevice.
#include <gtest/gtest.h>

#include <functional>

#include "axis/config.h"
#include "motion_support.h"

namespace dravik::test {
namespace {

class ConfigTest : public ReadyLibraryTest {};

struct RegisterCase {
    const char* name;
    std::function<int(Library&)> call;
    int32_t reg;
    uint32_t before, after;
};

TEST_F(ConfigTest, RegisterCallsChangeOnlyTheirBits) {
    const uint32_t others = 0x80000001;  // bits no call touches stay as read
    const RegisterCase cases[] = {
        {"set_outmode 1 clears", [](Library& l) { return set_outmode(l, 3, 1, 7); }, REG_MODE,
         others | MODE_OUTMODE, others},
        {"set_outmode 0 sets", [](Library& l) { return set_outmode(l, 3, 0, 0); }, REG_MODE, others,
         others | MODE_OUTMODE},
        {"set_outmode 2 sets", [](Library& l) { return set_outmode(l, 3, 2, 0); }, REG_MODE, others,
         others | MODE_OUTMODE},
        {"set_home_mode on", [](Library& l) { return set_home_mode(l, 3, 5); }, REG_HOME_CONFIG,
         others, others | HOME_MODE_BIT},
        {"set_home_mode off", [](Library& l) { return set_home_mode(l, 3, 0); }, REG_HOME_CONFIG,
         others | HOME_MODE_BIT, others},
        {"enable_sd off", [](Library& l) { return enable_sd(l, 3, 0); }, REG_MODE,
         others | MODE_SD_ENABLE, others},
        {"enable_sd on", [](Library& l) { return enable_sd(l, 3, -1); }, REG_MODE, others,
         others | MODE_SD_ENABLE},
        {"enable_el off sets both disable bits", [](Library& l) { return enable_el(l, 3, 0); },
         REG_INPUT_CONFIG, others, others | CFG_EL_DISABLE},
        {"enable_el on clears them", [](Library& l) { return enable_el(l, 3, 1); },
         REG_INPUT_CONFIG, others | CFG_EL_DISABLE, others},
        {"enable_org off", [](Library& l) { return enable_org(l, 3, 0); }, REG_MODE,
         others | MODE_ORG_STOP, others},
        {"enable_org on", [](Library& l) { return enable_org(l, 3, 2); }, REG_MODE, others,
         others | MODE_ORG_STOP},
        {"set_sd_logic", [](Library& l) { return set_sd_logic(l, 3, 1); }, REG_INPUT_CONFIG, others,
         others | CFG_SD_LOGIC},
        {"set_el_logic", [](Library& l) { return set_el_logic(l, 3, 9); }, REG_INPUT_CONFIG, others,
         others | CFG_EL_LOGIC},
        {"set_el_logic off", [](Library& l) { return set_el_logic(l, 3, 0); }, REG_INPUT_CONFIG,
         others | CFG_EL_LOGIC, others},
        {"set_org_logic", [](Library& l) { return set_org_logic(l, 3, 1); }, REG_INPUT_CONFIG,
         others, others | CFG_ORG_LOGIC},
        {"set_encoder_mode 2 clears", [](Library& l) { return set_encoder_mode(l, 3, 0, 2, 0); },
         REG_INPUT_CONFIG, others | CFG_ENCODER_X4, others},
        {"set_encoder_mode 4 sets", [](Library& l) { return set_encoder_mode(l, 3, 0, 4, 0); },
         REG_INPUT_CONFIG, others, others | CFG_ENCODER_X4},
        {"set_encoder_mode 100 sets", [](Library& l) { return set_encoder_mode(l, 3, 0, 100, 0); },
         REG_INPUT_CONFIG, others, others | CFG_ENCODER_X4},
        {"set_dir -1", [](Library& l) { return set_dir(l, 3, -1); }, REG_MODE, others,
         others | MODE_DIR_NEG},
        {"set_dir 1", [](Library& l) { return set_dir(l, 3, 1); }, REG_MODE, others | MODE_DIR_NEG,
         others},
    };
    for (const RegisterCase& c : cases) {
        fake->set_axis_reg(3, c.reg, static_cast<int32_t>(c.before));
        fake->clear_requests();
        EXPECT_EQ(c.call(*lib), 0) << c.name;
        EXPECT_EQ(fake->writes_to(3, c.reg), std::vector<int32_t>{static_cast<int32_t>(c.after)})
            << c.name << "\n" << fake->dump();
        if (c.reg == REG_MODE) {
            EXPECT_EQ(axis(3).mode_shadow, c.after) << c.name;
        }
    }
}

TEST_F(ConfigTest, UnreadableRegisterIsNotWrittenAndFailedWriteIsReported) {
    const std::function<int(Library&)> calls[] = {
        [](Library& l) { return set_outmode(l, 1, 1, 0); },
        [](Library& l) { return enable_el(l, 1, 0); },
        [](Library& l) { return enable_org(l, 1, 0); },
        [](Library& l) { return set_encoder_mode(l, 1, 0, 4, 0); },
        [](Library& l) { return set_home_mode(l, 1, 1); },
    };
    for (const auto& call : calls) {
        fake->clear_requests();
        fake->fail_at(2);  // the register read, right after validation
        EXPECT_EQ(call(*lib), -1);
        EXPECT_EQ(fake->count(kCmdWriteAxisReg), 0u) << fake->dump();
        fake->clear_requests();
        fake->fail_at(3);  // the write
        EXPECT_EQ(call(*lib), -1);
    }
    EXPECT_EQ(axis(1).el_enabled, 1) << "the flag follows the register only when it was written";
    EXPECT_EQ(axis(1).org_enabled, 1);
}

TEST_F(ConfigTest, EnableFlagsReachTheMoves) {
    ASSERT_EQ(enable_el(*lib, 2, 0), 0);
    ASSERT_EQ(enable_org(*lib, 2, 0), 0);
    EXPECT_EQ(axis(2).el_enabled, 0);
    EXPECT_EQ(axis(2).org_enabled, 0);
    ASSERT_EQ(enable_el(*lib, 2, 3), 0);
    EXPECT_EQ(axis(2).el_enabled, 1);
}

TEST_F(ConfigTest, SetDirRefusesBadDirectionAndMovingAxis) {
    EXPECT_EQ(set_dir(*lib, 1, 0), -1);
    EXPECT_EQ(lib->last_error, kErrBadParam);
    EXPECT_EQ(fake->count(kCmdWriteAxisReg), 0u);
    fake->set_busy(1, true);
    EXPECT_EQ(set_dir(*lib, 1, -1), -1);
    EXPECT_EQ(lib->last_error, kErrAxisMoving);
    EXPECT_EQ(fake->count(kCmdWriteAxisReg), 0u);
    fake->set_busy(1, false);
    ASSERT_EQ(set_dir(*lib, 1, -1), 0);
    // The direction holds only until the next move, which sets its own.
    ASSERT_EQ(con_pmove(*lib, 1, 100), 0);
    EXPECT_EQ(fake->motion_blocks().back().mode_image & MODE_DIR_NEG, 0u);
}

TEST_F(ConfigTest, AlarmLogicGoesToEveryAxis) {
    EXPECT_EQ(set_alm_logic(*lib, 1, 1), 0);
    for (int ch = 1; ch <= 8; ++ch)
        EXPECT_EQ(fake->writes_to(ch, REG_INPUT_CONFIG), std::vector<int32_t>{int32_t(CFG_ALM_LOGIC)});
    // An axis whose register cannot be read is skipped; the others are still written.
    fake->clear_requests();
    fake->fail_at(2 + 2 * 2);  // validation, axes 1 and 2 (read, write), then the read of axis 3
    EXPECT_EQ(set_alm_logic(*lib, 5, 0), -1);
    EXPECT_TRUE(fake->writes_to(3, REG_INPUT_CONFIG).empty());
    EXPECT_EQ(fake->writes_to(8, REG_INPUT_CONFIG), std::vector<int32_t>{0});
    EXPECT_EQ(set_alm_logic(*lib, 9, 1), -1);
}

TEST_F(ConfigTest, GetposModeClearsThePositionsFirstAndRefusesAMovingAxis) {
    fake->set_abs_pos(2, 1234);
    ASSERT_EQ(set_getpos_mode(*lib, 2, 1), 0);
    EXPECT_EQ(trace(*fake), concat({validations(1), {rd(2, REG_INPUT_CONFIG)}, busy_tests({2}),
                                    {cmd(kCmdClearPos, {2}),
                                     wr(2, REG_INPUT_CONFIG, int32_t(CFG_GETPOS_MODE))}}));
    EXPECT_EQ(fake->abs_pos(2), 0);
    fake->set_busy(2, true);
    fake->clear_requests();
    EXPECT_EQ(set_getpos_mode(*lib, 2, 0), -1);
    EXPECT_EQ(lib->last_error, kErrAxisMoving);
    EXPECT_TRUE(fake->writes_to(2, REG_INPUT_CONFIG).empty());
}

TEST_F(ConfigTest, IoPositionCalls) {
    ASSERT_EQ(set_io_pos(*lib, 4, -10, 20), 0);
    EXPECT_EQ(axis(4).io_open_pos, -10);
    EXPECT_EQ(axis(4).io_close_pos, 20);
    ASSERT_EQ(enable_io_pos(*lib, 2, 7), 0);
    EXPECT_EQ(fake->board_reg(2, kBoardIoPosEnable), 1);
    ASSERT_EQ(enable_io_pos(*lib, 2, 0), 0);
    EXPECT_EQ(fake->board_reg(2, kBoardIoPosEnable), 0);
    for (int bad : {0, 3}) {
        lib->last_error = 0;
        EXPECT_EQ(enable_io_pos(*lib, bad, 1), -1);
        EXPECT_EQ(lib->last_error, kErrBadBoard);
    }
    fake->fail_at(fake->request_count() + 2);
    EXPECT_EQ(enable_io_pos(*lib, 1, 1), -1);
}

TEST_F(ConfigTest, BacklashAndRampFlagSettings) {
    ASSERT_EQ(set_backlash(*lib, 1, -5), 0);
    EXPECT_EQ(axis(1).backlash, -5);
    ASSERT_EQ(start_backlash(*lib, 1), 0);
    EXPECT_EQ(axis(1).backlash_state, BACKLASH_ARMED);
    ASSERT_EQ(end_backlash(*lib, 1), 0);
    EXPECT_EQ(axis(1).backlash_state, BACKLASH_OFF);
    EXPECT_EQ(set_backlash(*lib, 9, 1), -1);
    for (int flag : {0, 1, 2}) {
        EXPECT_EQ(set_ramp_flag(*lib, flag), 0);
        EXPECT_EQ(lib->settings.ramp_flag, flag);
    }
    lib->last_error = 0;
    EXPECT_EQ(set_ramp_flag(*lib, 3), -1);
    EXPECT_EQ(set_ramp_flag(*lib, -1), -1);
    EXPECT_EQ(lib->settings.ramp_flag, 2);
    EXPECT_EQ(lib->last_error, 0);
}

TEST(ConfigBeforeStart, AxisCallsFailAndRampFlagIsOverwrittenByInit) {
    FakeDevice* fake = nullptr;
    auto lib = make_library({4}, &fake);
    EXPECT_EQ(set_outmode(*lib, 1, 1, 0), -1);
    EXPECT_EQ(lib->last_error, kErrNotReady);
    EXPECT_EQ(set_ramp_flag(*lib, 1), 0);
    ASSERT_EQ(auto_set(*lib), 4);
    ASSERT_EQ(init_board(*lib), 1);
    EXPECT_EQ(lib->settings.ramp_flag, 2);
}

}  // namespace
}  // namespace dravik::test
