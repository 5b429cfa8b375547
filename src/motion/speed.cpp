// Speed conversion and the exported speed settings.
//
// The board takes speeds as register values 1..8191 in a per-axis speed unit `rate`
// (= 1007 / rate_divider pulses/s per count) and accelerations as 2..65535, the time between two
// speed steps in a 33 MHz time base. Every double-to-integer conversion here saturates and is
// defined for NaN and infinities, because speeds reach it from many calls unchecked.
#include "motion/speed.h"

#include <cmath>

#include "axis/registers.h"
#include "core/validation.h"
#include "status/status.h"

namespace dravik {
namespace {

constexpr double kRateBase = 1007.0;
constexpr double kSpeedSteps = 8191.0;
constexpr int32_t kSpeedRegMax = 8191;
constexpr int32_t kAccelRegMin = 2;
constexpr int32_t kAccelRegMax = 65535;

// x truncated toward zero, limited to [lo, hi]; NaN gives lo.
int32_t trunc_limited(double x, int32_t lo, int32_t hi) {
    if (std::isnan(x) || x < lo) return lo;
    if (x >= hi) return hi;
    const auto v = static_cast<int32_t>(x);
    return v < lo ? lo : v;
}

bool negative_or_nan(double v) { return !(v >= 0.0); }

AxisState& axis(Library& lib, int ch) { return lib.axes[static_cast<size_t>(ch - 1)]; }

}  // namespace

int32_t half_up_limited(double x, int32_t lo, int32_t hi) {
    if (std::isnan(x)) return lo;
    return trunc_limited(x + 0.5, lo, hi);
}

void compute_rate(Library& lib, int ch, double speed) {
    AxisState& a = axis(lib, ch);
    if (std::isnan(speed) || speed < kMinMaxSpeed) speed = kMinMaxSpeed;
    if (speed > kMaxSpeedLimit) speed = kMaxSpeedLimit;
    a.rate = speed / kSpeedSteps;
    // With speed in [81.91, 8200000] the quotient lies in [1.006, 100700]: always a valid divider.
    a.rate_divider = trunc_limited(kRateBase / a.rate, 1, INT32_MAX);
    a.rate = kRateBase / a.rate_divider;
}

void compute_conspeed_reg(Library& lib, int ch, double speed) {
    AxisState& a = axis(lib, ch);
    compute_rate(lib, ch, lib.settings.rate_from_speed == 1 ? speed : a.max_speed);
    a.conspeed_reg = half_up_limited(speed / a.rate, 1, kSpeedRegMax);
}

void compute_profile_regs(Library& lib, int ch, double ls, double hs, double accel, double decel) {
    AxisState& a = axis(lib, ch);
    compute_rate(lib, ch, lib.settings.rate_from_speed == 1 ? hs : a.max_speed);
    a.low_speed_reg = half_up_limited(ls / a.rate, 1, kSpeedRegMax);
    a.high_speed_reg = half_up_limited(hs / a.rate, 1, kSpeedRegMax);
    a.high_speed_reg2 = a.high_speed_reg;
    // An acceleration of 0 keeps the register as it was (still brought into its range).
    if (accel != 0.0)
        a.accel_reg = half_up_limited(kAccelTimeBase / accel * a.rate, kAccelRegMin, kAccelRegMax);
    a.accel_reg = trunc_limited(a.accel_reg, kAccelRegMin, kAccelRegMax);
    if (decel != 0.0)
        a.decel_reg = half_up_limited(kAccelTimeBase / decel * a.rate, kAccelRegMin, kAccelRegMax);
    a.decel_reg = trunc_limited(a.decel_reg, kAccelRegMin, kAccelRegMax);
}

int store_conspeed(Library& lib, int ch, double speed) {
    if (negative_or_nan(speed)) speed = 0.0;
    if (speed > kMaxSpeedLimit) speed = kMaxSpeedLimit;
    axis(lib, ch).conspeed = speed;
    if (check_done(lib, ch) != 0) return 1;
    compute_conspeed_reg(lib, ch, speed);
    return 0;
}

int store_profile(Library& lib, int ch, double ls, double hs, double accel) {
    if (hs > kMaxSpeedLimit) hs = kMaxSpeedLimit;
    AxisState& a = axis(lib, ch);
    a.low_speed = ls;
    a.high_speed = hs;
    a.accel = accel;
    a.decel = accel;
    if (check_done(lib, ch) != 0) return 1;
    compute_profile_regs(lib, ch, ls, hs, accel, accel);
    return 0;
}

int apply_maxspeed(Library& lib, int ch, double speed) {
    if (speed > kMaxSpeedLimit) speed = kMaxSpeedLimit;
    if (check_done(lib, ch) == 1) return 1;
    if (std::isnan(speed) || speed < kMinMaxSpeed) speed = kMinMaxSpeed;
    AxisState& a = axis(lib, ch);
    a.max_speed = speed;
    compute_rate(lib, ch, a.max_speed);
    compute_profile_regs(lib, ch, a.low_speed, a.high_speed, a.accel, a.decel);
    return 0;
}

int set_maxspeed(Library& lib, int ch, double speed) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    return apply_maxspeed(lib, ch, speed) == 1 ? -2 : 0;
}

int set_conspeed(Library& lib, int ch, double conspeed) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    return store_conspeed(lib, ch, conspeed) == 1 ? -2 : 0;
}

double get_conspeed(Library& lib, int ch) {
    if (validate_axis_call(lib, ch) < 0) return -1.0;
    return axis(lib, ch).conspeed;
}

int set_profile(Library& lib, int ch, double ls, double hs, double accel) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    if (negative_or_nan(ls) || negative_or_nan(hs) || negative_or_nan(accel) || ls > hs) {
        lib.report_error(kErrBadSpeed);
        return -1;
    }
    return store_profile(lib, ch, ls, hs, accel) == 1 ? -2 : 0;
}

int get_profile(Library& lib, int ch, double* ls, double* hs, double* accel) {
    if (null_out(lib, ls) || null_out(lib, hs) || null_out(lib, accel)) return -1;
    if (validate_axis_call(lib, ch) < 0) return -1;
    const AxisState& a = axis(lib, ch);
    *ls = a.low_speed;
    *hs = a.high_speed;
    *accel = a.accel;
    return 0;
}

double get_rate(Library& lib, int ch) {
    if (validate_axis_call(lib, ch) < 0) return -1.0;
    int32_t value = 0;
    if (lib.driver.read_axis_reg(ch, REG_CURRENT_SPEED, &value) != 0) return -1.0;
    return static_cast<double>(value & 0x1FFF) * axis(lib, ch).rate;
}

int set_vector_conspeed(Library& lib, double conspeed) {
    if (validate_axis_call(lib, 1) < 0) return -1;
    lib.settings.vector_conspeed = conspeed;
    return 0;
}

int set_vector_profile(Library& lib, double vec_vl, double vec_vh, double vec_ad) {
    if (validate_axis_call(lib, 1) < 0) return -1;
    if (negative_or_nan(vec_vl) || negative_or_nan(vec_vh) || negative_or_nan(vec_ad) ||
        vec_vl > vec_vh) {
        lib.report_error(kErrBadSpeed);
        return -1;
    }
    lib.settings.vector_low_speed = vec_vl;
    lib.settings.vector_high_speed = vec_vh;
    lib.settings.vector_accel = vec_ad;
    return 0;
}

double get_vector_conspeed(Library& lib) {
    if (validate_axis_call(lib, 1) < 0) return -1.0;
    return lib.settings.vector_conspeed;
}

int get_vector_profile(Library& lib, double* vec_vl, double* vec_vh, double* vec_ad) {
    if (null_out(lib, vec_vl) || null_out(lib, vec_vh) || null_out(lib, vec_ad)) return -1;
    if (validate_axis_call(lib, 1) < 0) return -1;
    *vec_vl = lib.settings.vector_low_speed;
    *vec_vh = lib.settings.vector_high_speed;
    *vec_ad = lib.settings.vector_accel;
    return 0;
}

}  // namespace dravik
