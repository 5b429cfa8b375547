// Linear interpolation against the recording FakeDevice.
#include <gtest/gtest.h>

#include <cmath>

#include "motion/lines.h"
#include "motion/move_builder.h"
#include "motion_support.h"

namespace dravik::test {
namespace {

class LinesTest : public ReadyLibraryTest {
protected:
    int line(bool ramped, std::vector<AxisArg> a) { return run_line(*lib, ramped, a); }
    std::vector<MotionBlock> blocks() const { return fake->motion_blocks(); }
    void vector_profile(double vl, double vh, double ad) {
        lib->settings.vector_low_speed = vl;
        lib->settings.vector_high_speed = vh;
        lib->settings.vector_accel = ad;
    }
};

constexpr bool kCon = false;
constexpr bool kFast = true;

// Speed unit divider and register that the conversion gives a speed when the unit comes from it.
int32_t divider_for(double speed) {
    const double s = std::fmax(81.91, std::fmin(speed, 8200000.0));
    return static_cast<int32_t>(1007.0 / (s / 8191.0));
}
int32_t register_for(double speed) {
    const double rate = 1007.0 / divider_for(speed);
    const double reg = std::floor(speed / rate + 0.5);
    return static_cast<int32_t>(std::fmin(std::fmax(reg, 1.0), 8191.0));
}

TEST_F(LinesTest, ConstantLineSplitsTheVectorSpeedIntoTheDividers) {
    lib->settings.vector_conspeed = 5000.0;
    ASSERT_EQ(line(kCon, {{1, 3000}, {2, -4000}}), 0);
    EXPECT_EQ(trace(*fake), concat({validations(2), busy_tests({1, 2}),
                                    {rd(1, REG_MODE), rd(2, REG_MODE), block(1), block(2)}}));
    const auto b = blocks();
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].rate_divider, 2749);
    EXPECT_EQ(b[0].speed_word_1, 8190);
    EXPECT_EQ(b[0].distance, 3000);
    EXPECT_EQ(b[0].group_remaining, 2);
    EXPECT_EQ(b[1].rate_divider, 2062);
    EXPECT_EQ(b[1].speed_word_1, 8191);
    EXPECT_EQ(b[1].distance, 4000);
    EXPECT_NE(b[1].mode_image & MODE_DIR_NEG, 0u);
    EXPECT_EQ(b[1].group_remaining, 1);
    EXPECT_EQ(lib->settings.rate_from_speed, 0);
    EXPECT_EQ(lib->settings.command_counter, 1);
    EXPECT_EQ(lib->moves[0].commanded_distance, 3000);
    EXPECT_EQ(lib->moves[1].commanded_distance, -4000);
    EXPECT_EQ(lib->moves[1].move_mode, 0);
    EXPECT_EQ(axis(2).pending_distance, 4000);
}

TEST_F(LinesTest, AxisWithoutDistanceGetsTheLowestSpeedAndAZeroBlock) {
    ASSERT_EQ(line(kCon, {{1, 0}, {2, 700}}), 0);
    const auto b = blocks();
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].distance, 0);
    EXPECT_EQ(b[0].speed_word_1, 1);
}

TEST_F(LinesTest, AllZeroLineDoesNothingEvenForAxesThatDoNotExist) {
    for (bool ramped : {kCon, kFast}) {
        EXPECT_EQ(line(ramped, {{1, 0}, {2, 0}}), 0);
        EXPECT_EQ(line(ramped, {{9, 0}, {10, 0}, {11, 0}, {12, 0}}), 0);
    }
    EXPECT_EQ(fake->request_count(), 0u);
    EXPECT_EQ(lib->last_error, 0);
}

TEST_F(LinesTest, RefusalsSendNoBlock) {
    fake->set_busy(3, true);
    const struct {
        const char* name;
        bool ramped;
        std::vector<AxisArg> axes;
        int32_t error;
    } cases[] = {
        {"same axis", kFast, {{1, 100}, {2, 200}, {1, 300}}, kErrSameAxis},
        {"moving axis", kCon, {{1, 100}, {3, 200}}, kErrAxisMoving},
        {"moving axis, ramped", kFast, {{3, 100}, {1, 200}, {2, 5}, {4, 6}}, kErrAxisMoving},
        {"bad axis", kCon, {{1, 100}, {0, 200}}, kErrBadAxis},
    };
    for (const auto& c : cases) {
        fake->clear_requests();
        EXPECT_EQ(line(c.ramped, c.axes), -1) << c.name;
        EXPECT_EQ(lib->last_error, c.error) << c.name;
        EXPECT_TRUE(blocks().empty()) << c.name;
        EXPECT_EQ(lib->block.serial, 0) << c.name;
    }
}

TEST_F(LinesTest, RampedLineWithoutAccelerationIsRefused) {
    vector_profile(2000.0, 8000.0, 0.0);
    EXPECT_EQ(line(kFast, {{1, 100}, {2, 200}}), -1);
    EXPECT_EQ(lib->last_error, kErrBadSpeed);
    EXPECT_EQ(fake->count(kCmdReadAxisReg), 0u);
    EXPECT_TRUE(blocks().empty());
}

TEST_F(LinesTest, ConstantLineWithoutAVectorSpeedIsRefused) {
    lib->settings.vector_conspeed = std::nan("");
    EXPECT_EQ(line(kCon, {{1, 100}, {2, 200}, {3, 300}}), -1);
    EXPECT_EQ(lib->last_error, kErrBadSpeed);
    EXPECT_EQ(fake->count(kCmdReadAxisReg), 0u);
    EXPECT_TRUE(blocks().empty());
    EXPECT_EQ(lib->settings.command_counter, 0);
}

TEST_F(LinesTest, RampedLineRecordsItsDistancesAndCounts) {
    ASSERT_EQ(line(kFast, {{1, 500}, {2, -700}}), 0);
    EXPECT_EQ(trace(*fake),
              concat({validations(2), busy_tests({1, 2}),
                      {rd(1, REG_MODE), wr(1, REG_RAMP_AUX, 0), rd(2, REG_MODE),
                       wr(2, REG_RAMP_AUX, 0), block(1), block(2)}}));
    EXPECT_EQ(lib->moves[0].commanded_distance, 500);
    EXPECT_EQ(lib->moves[1].commanded_distance, -700);
    EXPECT_EQ(lib->moves[0].move_mode, 1);
    EXPECT_EQ(lib->moves[1].move_mode, 1);
    EXPECT_EQ(lib->settings.command_counter, 1);
    for (const MotionBlock& b : blocks()) EXPECT_EQ(b.block_type, kBlockRamped);
}

TEST_F(LinesTest, RampedComponentsFollowTheDirectionFactors) {
    vector_profile(3000.0, 8000.0, 80000.0);  // no component below the floor
    ASSERT_EQ(line(kFast, {{1, 3000}, {2, 4000}}), 0);
    const auto b = blocks();
    // k = (0.6, 0.8): high speeds 4800 and 6400, low speeds 1800 and 2400.
    EXPECT_EQ(b[0].rate_divider, divider_for(4800.0));
    EXPECT_EQ(b[0].speed_word_2, register_for(4800.0));
    EXPECT_EQ(b[1].rate_divider, divider_for(6400.0));
    EXPECT_EQ(b[1].speed_word_2, register_for(6400.0));
    const double rate0 = 1007.0 / divider_for(4800.0);
    EXPECT_EQ(b[0].speed_word_1, static_cast<int32_t>(1800.0 / rate0 + 0.5));
    EXPECT_EQ(b[0].accel_word, static_cast<int32_t>(33000000.0 / 48000.0 * rate0 + 0.5));
    EXPECT_EQ(b[0].accel_word, b[0].decel_word);
}

TEST_F(LinesTest, AxesWithoutALowSpeedRunAtTheirAverageOverTheLeadingAxisTime) {
    vector_profile(0.0, 8000.0, 80000.0);
    ASSERT_EQ(line(kFast, {{1, 100}, {2, 300}, {3, 200}}), 0);
    // The second axis leads (largest distance); every axis takes its average speed over its time.
    const double length = std::sqrt(100.0 * 100 + 300.0 * 300 + 200.0 * 200);
    const double k_lead = 300.0 / length;
    const double t = profile_move_time(300, 0.0, 8000.0 * k_lead, 80000.0 * k_lead);
    const double d[] = {100.0, 300.0, 200.0};
    const auto b = blocks();
    ASSERT_EQ(b.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const double speed = d[i] / t + 0.01;
        EXPECT_EQ(b[i].rate_divider, divider_for(speed)) << i;
        EXPECT_EQ(b[i].speed_word_1, register_for(speed)) << i;
        EXPECT_EQ(b[i].speed_word_2, register_for(speed)) << i;
        EXPECT_EQ(b[i].group_remaining, 3 - i);
    }
}

TEST_F(LinesTest, ComponentBelowTheFloorRunsAtTheFloorWhileTheOtherKeepsItsProfile) {
    vector_profile(0.0, 0.03, 1000.0);
    ASSERT_EQ(line(kFast, {{1, 1000}, {2, 10}}), 0);
    const auto b = blocks();
    // Both speed units bottom out at 0.01 pulses/s per count.
    EXPECT_EQ(b[0].rate_divider, 100700);
    EXPECT_EQ(b[1].rate_divider, 100700);
    EXPECT_EQ(b[0].speed_word_1, 2);  // low speed 0 -> register 1, sent as 2
    EXPECT_EQ(b[0].speed_word_2, 3);  // its own 0.03 high speed
    EXPECT_EQ(b[1].speed_word_1, 2);  // the floor 0.02
    EXPECT_EQ(b[1].speed_word_2, 2);
}

TEST_F(LinesTest, DistancesCancelledByBacklashSendNothingForAnyAxisCount) {
    for (int ch = 1; ch <= 4; ++ch) {
        axis(ch).backlash = -5;
        axis(ch).backlash_state = BACKLASH_ON;
    }
    for (bool ramped : {kCon, kFast}) {
        for (size_t n = 2; n <= 4; ++n) {
            for (int ch = 1; ch <= 4; ++ch) axis(ch).last_direction = 1;
            std::vector<AxisArg> axes;
            for (size_t i = 0; i < n; ++i) axes.push_back({static_cast<int>(i + 1), -5});
            fake->clear_requests();
            const int counter = lib->settings.command_counter;
            EXPECT_EQ(line(ramped, axes), 0) << n;
            EXPECT_TRUE(blocks().empty()) << n;
            EXPECT_EQ(lib->settings.command_counter, counter) << n;
            EXPECT_EQ(lib->settings.rate_from_speed, 0);
        }
    }
}

TEST_F(LinesTest, RefusedBlockFailsTheLineAfterSendingEveryBlock) {
    fake->refuse_motion_next(1);
    EXPECT_EQ(line(kCon, {{1, 100}, {2, 100}, {3, 100}}), -1);
    EXPECT_EQ(blocks().size(), 3u);
    EXPECT_EQ(lib->settings.rate_from_speed, 0);
    EXPECT_EQ(lib->settings.command_counter, 0);
    EXPECT_EQ(lib->moves[0].commanded_distance, 0);
    EXPECT_EQ(axis(1).pending_distance, 100);
}

}  // namespace
}  // namespace dravik::test
