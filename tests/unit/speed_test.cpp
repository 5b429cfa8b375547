// Speed conversion and the speed settings, with the worked numbers of the board's speed unit.
#include "motion/speed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "axis/registers.h"
#include "core/error_calls.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class SpeedTest : public ReadyLibraryTest {
protected:
    std::vector<int32_t> profile_regs(int ch) {
        const AxisState& a = axis(ch);
        return {a.low_speed_reg, a.high_speed_reg, a.high_speed_reg2, a.accel_reg, a.decel_reg};
    }
};

TEST(HalfUpLimited, RoundsHalfUpAndSaturates) {
    struct Row {
        double x;
        int32_t lo, hi, expected;
    };
    const Row rows[] = {
        {1.986, 1, 8191, 2},    {1.49, 1, 8191, 1},    {1.5, 1, 8191, 2},
        {0.0, 1, 8191, 1},      {-3.0, 1, 8191, 1},    {8190.6, 1, 8191, 8191},
        {1e300, 1, 8191, 8191}, {-1e300, 2, 65535, 2}, {kInf, 2, 65535, 65535},
        {-kInf, 2, 65535, 2},   {kNaN, 2, 65535, 2},   {3300.0, 2, 65535, 3300},
        {-0.7, -5, 5, 0},       {-7.2, -5, 5, -5},     {2147483647.0, 0, INT32_MAX, INT32_MAX},
    };
    for (const Row& r : rows)
        EXPECT_EQ(half_up_limited(r.x, r.lo, r.hi), r.expected)
            << r.x << " in [" << r.lo << ", " << r.hi << "]";
}

TEST_F(SpeedTest, DefaultsGiveSpeedUnit1007) {
    for (int ch = 1; ch <= 8; ++ch) {
        EXPECT_DOUBLE_EQ(axis(ch).rate, 1007.0);
        EXPECT_EQ(axis(ch).rate_divider, 1);
        EXPECT_EQ(axis(ch).conspeed_reg, 2);
        EXPECT_EQ(profile_regs(ch), (std::vector<int32_t>{2, 8, 8, 65535, 65535}));
        EXPECT_DOUBLE_EQ(get_conspeed(*lib, ch), 2000.0);
        double ls = 0, hs = 0, ac = 0;
        EXPECT_EQ(get_profile(*lib, ch, &ls, &hs, &ac), 0);
        EXPECT_EQ(std::vector<double>({ls, hs, ac}),
                  (std::vector<double>{2000.0, 8000.0, 80000.0}));
    }
}

TEST_F(SpeedTest, RateFollowsTheSpeedGiven) {
    struct Row {
        double speed;
        int32_t divider;
        double rate;
    };
    const Row rows[] = {{8200000.0, 1, 1007.0},  {8191.0, 1007, 1.0},
                        {1000000.0, 8, 125.875}, {2000.0, 4124, 1007.0 / 4124},
                        {81.91, 100700, 0.01},   {10.0, 100700, 0.01},
                        {9e6, 1, 1007.0},        {kNaN, 100700, 0.01},
                        {-kInf, 100700, 0.01},   {kInf, 1, 1007.0}};
    for (const Row& r : rows) {
        compute_rate(*lib, 1, r.speed);
        EXPECT_EQ(axis(1).rate_divider, r.divider) << r.speed;
        EXPECT_DOUBLE_EQ(axis(1).rate, r.rate) << r.speed;
        EXPECT_GE(8191.0 * axis(1).rate + 1e-9,
                  std::isnan(r.speed) ? 81.91 : std::min(std::max(r.speed, 81.91), 8.2e6));
    }
}

TEST_F(SpeedTest, MaxSpeed8191GivesUnitOne) {
    EXPECT_EQ(set_maxspeed(*lib, 1, 8191.0), 0);
    EXPECT_DOUBLE_EQ(axis(1).rate, 1.0);
    EXPECT_EQ(set_profile(*lib, 1, 100.0, 1000.0, 10000.0), 0);
    EXPECT_EQ(profile_regs(1), (std::vector<int32_t>{100, 1000, 1000, 3300, 3300}));
}

TEST_F(SpeedTest, MaxSpeedIsLimited) {
    const std::pair<double, double> rows[] = {{10.0, 81.91},  {9.0e6, 8200000.0}, {kNaN, 81.91},
                                              {-kInf, 81.91}, {kInf, 8200000.0},  {5000.0, 5000.0}};
    for (auto [given, stored] : rows) {
        EXPECT_EQ(set_maxspeed(*lib, 2, given), 0);
        EXPECT_DOUBLE_EQ(axis(2).max_speed, stored) << given;
    }
    set_maxspeed(*lib, 2, 10.0);
    EXPECT_EQ(axis(2).rate_divider, 100700);  // the largest divider
}

TEST_F(SpeedTest, MaxSpeedRecomputesProfileButNotConstantSpeed) {
    EXPECT_EQ(set_maxspeed(*lib, 1, 8191.0), 0);
    EXPECT_EQ(profile_regs(1), (std::vector<int32_t>{2000, 8000, 8000, 413, 413}));
    EXPECT_EQ(axis(1).conspeed_reg, 2);
    EXPECT_EQ(set_conspeed(*lib, 1, 2000.0), 0);
    EXPECT_EQ(axis(1).conspeed_reg, 2000);
}

TEST_F(SpeedTest, MaxSpeedOnMovingAxisChangesNothing) {
    fake->set_busy(1, true);
    EXPECT_EQ(set_maxspeed(*lib, 1, 8191.0), -2);
    EXPECT_DOUBLE_EQ(axis(1).max_speed, 8200000.0);
    EXPECT_DOUBLE_EQ(axis(1).rate, 1007.0);
    EXPECT_EQ(get_last_err(*lib), 0);
}

TEST_F(SpeedTest, MaxSpeedProceedsWhenStatusCannotBeRead) {
    fake->fail_at(4);  // the status read of the busy test (after two validations)
    EXPECT_EQ(set_maxspeed(*lib, 1, 8191.0), 0) << fake->dump();
    EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
    EXPECT_DOUBLE_EQ(axis(1).max_speed, 8191.0);
}

TEST_F(SpeedTest, ConstantSpeedRows) {
    struct Row {
        double given, stored;
        int32_t reg;
    };
    const Row rows[] = {{2000.0, 2000.0, 2},    {-5.0, 0.0, 1},          {kNaN, 0.0, 1},
                        {9e6, 8200000.0, 8143}, {kInf, 8200000.0, 8143}, {500000.0, 500000.0, 497}};
    for (const Row& r : rows) {
        EXPECT_EQ(set_conspeed(*lib, 3, r.given), 0) << r.given;
        EXPECT_DOUBLE_EQ(get_conspeed(*lib, 3), r.stored) << r.given;
        EXPECT_EQ(axis(3).conspeed_reg, r.reg) << r.given;
    }
}

TEST_F(SpeedTest, ConstantSpeedRequestTraffic) {
    EXPECT_EQ(set_conspeed(*lib, 5, 3000.0), 0);
    std::vector<Cmd> expected = validation();
    for (const Cmd& c : validation()) expected.push_back(c);
    expected.push_back({kCmdReadAxisReg, {5, REG_STATUS}});
    EXPECT_EQ(fake->commands(), expected);
}

TEST_F(SpeedTest, SettingsOnABusyAxisAreStoredButNotConverted) {
    fake->set_busy(4, true);
    EXPECT_EQ(set_conspeed(*lib, 4, 300000.0), -2);
    EXPECT_DOUBLE_EQ(get_conspeed(*lib, 4), 300000.0);
    EXPECT_EQ(axis(4).conspeed_reg, 2);
    EXPECT_EQ(set_profile(*lib, 4, 100.0, 500000.0, 1000.0), -2);
    double ls = 0, hs = 0, ac = 0;
    EXPECT_EQ(get_profile(*lib, 4, &ls, &hs, &ac), 0);
    EXPECT_EQ(std::vector<double>({ls, hs, ac}), (std::vector<double>{100.0, 500000.0, 1000.0}));
    EXPECT_EQ(profile_regs(4), (std::vector<int32_t>{2, 8, 8, 65535, 65535}));
    EXPECT_EQ(get_last_err(*lib), 0);  // busy is not an error of its own
    // An unreadable status counts as busy too.
    fake->set_busy(4, false);
    fake->fail_at(fake->request_count() + 4);
    EXPECT_EQ(set_conspeed(*lib, 4, 1000.0), -2);
    EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
}

TEST_F(SpeedTest, ProfileParameterChecks) {
    struct Row {
        double ls, hs, ac;
        int result;
    };
    const Row rows[] = {
        {5000.0, 4000.0, 1000.0, -1}, {-1.0, 4000.0, 1000.0, -1},  {100.0, -1.0, 1000.0, -1},
        {100.0, 4000.0, -0.5, -1},    {kNaN, 4000.0, 1000.0, -1},  {100.0, kNaN, 1000.0, -1},
        {100.0, 4000.0, kNaN, -1},    {4000.0, 4000.0, 1000.0, 0}, {0.0, 0.0, 0.0, 0}};
    for (const Row& r : rows) {
        reset_err(*lib);
        const AxisState before = axis(2);
        EXPECT_EQ(set_profile(*lib, 2, r.ls, r.hs, r.ac), r.result)
            << r.ls << ' ' << r.hs << ' ' << r.ac;
        EXPECT_EQ(get_last_err(*lib), r.result == 0 ? 0 : kErrBadSpeed);
        if (r.result != 0) {
            EXPECT_DOUBLE_EQ(axis(2).high_speed, before.high_speed);
        }
    }
}

TEST_F(SpeedTest, ZeroProfileKeepsAccelerationRegisters) {
    EXPECT_EQ(set_maxspeed(*lib, 1, 8191.0), 0);
    EXPECT_EQ(set_profile(*lib, 1, 100.0, 1000.0, 10000.0), 0);
    EXPECT_EQ(set_profile(*lib, 1, 0.0, 0.0, 0.0), 0);
    EXPECT_EQ(profile_regs(1), (std::vector<int32_t>{1, 1, 1, 3300, 3300}));
}

TEST_F(SpeedTest, ExtremeQuotientsSaturate) {
    // A tiny acceleration gives the largest register; a low speed above the limited high speed
    // gives the largest speed register.
    EXPECT_EQ(set_profile(*lib, 1, 1e-300, 1e-300, 1e-300), 0);
    EXPECT_EQ(axis(1).accel_reg, 65535);
    EXPECT_EQ(set_profile(*lib, 1, 9e6, 9e6, 1e12), 0);
    EXPECT_EQ(profile_regs(1), (std::vector<int32_t>{8191, 8143, 8143, 2, 2}));
    EXPECT_EQ(set_profile(*lib, 1, kInf, kInf, kInf), 0);
    EXPECT_EQ(profile_regs(1), (std::vector<int32_t>{8191, 8143, 8143, 2, 2}));
    // An acceleration of 0 keeps a register that was never computed inside its range.
    axis(1).accel_reg = 0;
    compute_profile_regs(*lib, 1, 10.0, 20.0, 0.0, kNaN);
    EXPECT_EQ(axis(1).accel_reg, 2);
    EXPECT_EQ(axis(1).decel_reg, 2);
}

TEST_F(SpeedTest, RateFromSpeedUsesTheConvertedSpeed) {
    lib->settings.rate_from_speed = 1;
    compute_conspeed_reg(*lib, 1, 8191.0);
    EXPECT_DOUBLE_EQ(axis(1).rate, 1.0);
    EXPECT_EQ(axis(1).conspeed_reg, 8191);
    compute_profile_regs(*lib, 1, 100.0, 1000000.0, 1e6, 2e6);
    EXPECT_EQ(axis(1).rate_divider, 8);  // rate 125.875
    EXPECT_EQ(profile_regs(1), (std::vector<int32_t>{1, 7944, 7944, 4154, 2077}));
}

TEST_F(SpeedTest, GetRateScalesCurrentSpeedRegister) {
    fake->set_axis_reg(1, REG_CURRENT_SPEED, 0x2005);
    EXPECT_DOUBLE_EQ(get_rate(*lib, 1), 5035.0);
    fake->fail_at(fake->request_count() + 2);
    EXPECT_DOUBLE_EQ(get_rate(*lib, 1), -1.0);
    EXPECT_DOUBLE_EQ(get_rate(*lib, 9), -1.0);
}

TEST_F(SpeedTest, VectorSettings) {
    EXPECT_EQ(set_vector_conspeed(*lib, -3.0), 0);  // stored as given
    EXPECT_DOUBLE_EQ(get_vector_conspeed(*lib), -3.0);
    EXPECT_EQ(set_vector_profile(*lib, 100.0, 50.0, 1.0), -1);
    EXPECT_EQ(get_last_err(*lib), kErrBadSpeed);
    EXPECT_EQ(set_vector_profile(*lib, kNaN, 50.0, 1.0), -1);
    EXPECT_EQ(set_vector_profile(*lib, 10.0, 50.0, 1.0), 0);
    double v[3] = {};
    EXPECT_EQ(get_vector_profile(*lib, &v[0], &v[1], &v[2]), 0);
    EXPECT_EQ(std::vector<double>(v, v + 3), (std::vector<double>{10.0, 50.0, 1.0}));
    EXPECT_EQ(get_vector_profile(*lib, &v[0], nullptr, &v[2]), -1);
    EXPECT_EQ(get_last_err(*lib), kErrBadParam);
}

TEST_F(SpeedTest, CallsFailBeforeTheLibraryIsReady) {
    create({4});
    double d = 0;
    EXPECT_EQ(set_maxspeed(*lib, 1, 1000.0), -1);
    EXPECT_EQ(set_conspeed(*lib, 1, 1000.0), -1);
    EXPECT_DOUBLE_EQ(get_conspeed(*lib, 1), -1.0);
    EXPECT_EQ(set_profile(*lib, 1, 1.0, 2.0, 3.0), -1);
    EXPECT_EQ(get_profile(*lib, 1, &d, &d, &d), -1);
    EXPECT_DOUBLE_EQ(get_rate(*lib, 1), -1.0);
    EXPECT_EQ(set_vector_conspeed(*lib, 1.0), -1);
    EXPECT_EQ(set_vector_profile(*lib, 1.0, 2.0, 3.0), -1);
    EXPECT_DOUBLE_EQ(get_vector_conspeed(*lib), -1.0);
    EXPECT_EQ(get_vector_profile(*lib, &d, &d, &d), -1);
    EXPECT_EQ(get_last_err(*lib), kErrNotReady);
    EXPECT_EQ(lib->errors.total(), 1);  // the same code folds into one record
    EXPECT_EQ(fake->request_count(), 0u);
}

}  // namespace
}  // namespace dravik::test
