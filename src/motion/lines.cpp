#include "motion/lines.h"

#include <array>
#include <cmath>

#include "motion/move_builder.h"
#include "motion/speed.h"

namespace dravik {

namespace {

constexpr size_t kMaxAxes = 4;
// Lowest component speed a line gives an axis, and the margin added to an average speed.
constexpr double kSpeedFloor = 0.02;
constexpr double kAverageMargin = 0.01;

struct Component {
    int ch = 0;
    int32_t d = 0;  // prepared magnitude
    double ls = 0.0, hs = 0.0, acc = 0.0;
};

// Prepares every axis; false when a mode register could not be read (nothing is sent then).
bool prepare_components(Library& lib, bool ramped, std::span<const AxisArg> axes,
                        std::array<Component, kMaxAxes>& c) {
    for (size_t i = 0; i < axes.size(); ++i) {
        const auto d = prepare_point_mode(lib, axes[i].ch, axes[i].value, ramped);
        if (!d) return false;
        c[i].ch = axes[i].ch;
        c[i].d = *d;
    }
    return true;
}

double vector_length(const std::array<Component, kMaxAxes>& c, size_t n) {
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) sum += static_cast<double>(c[i].d) * c[i].d;
    return std::sqrt(sum);
}

// Direction factors: each axis's share of the line's length.
void direction_factors(const std::array<Component, kMaxAxes>& c, size_t n,
                       std::array<double, kMaxAxes>& k) {
    if (n == 2) {
        const double d1 = c[0].d, d2 = c[1].d;
        if (d1 == 0.0) {
            k[0] = 0.0;
            k[1] = 1.0;
        } else if (d2 == 0.0) {
            k[0] = 1.0;
            k[1] = 0.0;
        } else {
            k[0] = 1.0 / std::sqrt(1.0 + d2 * d2 / (d1 * d1));
            k[1] = 1.0 / std::sqrt(1.0 + d1 * d1 / (d2 * d2));
        }
        return;
    }
    const double length = vector_length(c, n);
    for (size_t i = 0; i < n; ++i) k[i] = c[i].d / length;
}

// The axis with the largest distance; the first named among equals.
size_t leading_axis(const std::array<Component, kMaxAxes>& c, size_t n) {
    size_t lead = 0;
    for (size_t i = 1; i < n; ++i)
        if (c[i].d > c[lead].d) lead = i;
    return lead;
}

// Axes whose component speed is too low to ramp: below the floor when some high speed is, else
// run at their average speed over the leading axis's move time.
void apply_low_speed_floor(std::array<Component, kMaxAxes>& c, size_t n) {
    bool any_below = false;
    for (size_t i = 0; i < n; ++i)
        if (c[i].hs < kSpeedFloor) any_below = true;
    if (any_below) {
        for (size_t i = 0; i < n; ++i)
            if (c[i].hs < kSpeedFloor) c[i].ls = c[i].hs = kSpeedFloor;
        return;
    }
    const Component& lead = c[leading_axis(c, n)];
    const double t = profile_move_time(lead.d, lead.ls, lead.hs, lead.acc);
    for (size_t i = 0; i < n; ++i)
        if (c[i].ls < kSpeedFloor) c[i].ls = c[i].hs = c[i].d / t + kAverageMargin;
}

bool send_group(Library& lib, bool ramped, const std::array<Component, kMaxAxes>& c, size_t n) {
    bool all_accepted = true;
    for (size_t i = 0; i < n; ++i) {
        lib.block.group_remaining = static_cast<uint8_t>(n - i);
        const int sent = ramped ? submit_ramped_block(lib, c[i].ch, c[i].d)
                                : submit_constant_block(lib, c[i].ch, c[i].d);
        if (sent != 0) all_accepted = false;
    }
    return all_accepted;
}

// Converts the component speeds with each axis's speed unit taken from its own speed, and sends.
bool convert_and_send(Library& lib, bool ramped, const std::array<Component, kMaxAxes>& c,
                      size_t n) {
    for (size_t i = 0; i < n; ++i) lib.axes[c[i].ch - 1].pending_distance = c[i].d;
    lib.settings.rate_from_speed = 1;
    for (size_t i = 0; i < n; ++i) {
        if (ramped) compute_profile_regs(lib, c[i].ch, c[i].ls, c[i].hs, c[i].acc, c[i].acc);
        else compute_conspeed_reg(lib, c[i].ch, c[i].hs);
    }
    const bool ok = send_group(lib, ramped, c, n);
    lib.settings.rate_from_speed = 0;
    return ok;
}

// The group of a line move after its checks: 0 success, -1 failure.
int line_group(Library& lib, bool ramped, std::span<const AxisArg> axes) {
    const size_t n = axes.size();
    std::array<Component, kMaxAxes> c{};
    advance_serial(lib);
    if (!prepare_components(lib, ramped, axes, c)) return -1;

    bool nothing_to_travel = true;
    for (size_t i = 0; i < n; ++i)
        if (c[i].d != 0) nothing_to_travel = false;
    if (nothing_to_travel) {
        for (size_t i = 0; i < n; ++i) lib.axes[c[i].ch - 1].pending_distance = 0;
        return 0;
    }

    const MotionSettings& s = lib.settings;
    if (ramped) {
        std::array<double, kMaxAxes> k{};
        direction_factors(c, n, k);
        for (size_t i = 0; i < n; ++i) {
            c[i].ls = std::fabs(s.vector_low_speed * k[i]);
            c[i].hs = std::fabs(s.vector_high_speed * k[i]);
            c[i].acc = std::fabs(s.vector_accel * k[i]);
        }
        apply_low_speed_floor(c, n);
    } else {
        const double f = s.vector_conspeed / vector_length(c, n);
        for (size_t i = 0; i < n; ++i) c[i].hs = std::fabs(c[i].d * f);
    }
    if (!convert_and_send(lib, ramped, c, n)) return -1;
    count_accepted_move(lib);
    return 0;
}

}  // namespace

int run_line(Library& lib, bool ramped, std::span<const AxisArg> axes) {
    if (axes.size() < 2 || axes.size() > kMaxAxes) return -1;
    bool all_zero = true;
    for (const AxisArg& a : axes)
        if (a.value != 0) all_zero = false;
    if (all_zero) return 0;
    if (check_axes_distinct(lib, axes) != 0) return -1;
    // A ramp needs an acceleration; a constant-speed line needs a speed (set_vector_conspeed
    // stores any value, NaN included, and NaN would otherwise turn into the lowest register).
    const bool no_speed = ramped ? !(lib.settings.vector_accel > 0.0)
                                 : std::isnan(lib.settings.vector_conspeed);
    if (no_speed) {
        lib.report_error(kErrBadSpeed);
        return -1;
    }
    if (check_point_distances(lib, axes) != 0) return -1;
    if (check_axes_at_rest(lib, axes) != 0) return -1;
    if (line_group(lib, ramped, axes) != 0) return -1;
    for (const AxisArg& a : axes) record_move(lib, a.ch, a.value, ramped ? 1 : 0);
    return 0;
}

}  // namespace dravik
