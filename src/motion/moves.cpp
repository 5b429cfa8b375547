#include "motion/moves.h"

#include <array>

#include "axis/registers.h"
#include "core/validation.h"
#include "motion/speed.h"
#include "status/status.h"

namespace dravik {

namespace {

constexpr size_t kMaxAxes = 4;

bool all_zero(std::span<const AxisArg> axes) {
    for (const AxisArg& a : axes)
        if (a.value != 0) return false;
    return true;
}

// Prepares every axis (mode image, direction, backlash, speed conversion). False when a mode
// register could not be read: then no block of the call is sent.
bool prepare_axes(Library& lib, const MoveFamily& family, std::span<const AxisArg> axes) {
    for (const AxisArg& a : axes) {
        if (family.kind == MoveKind::point) {
            const auto magnitude = prepare_point_mode(lib, a.ch, a.value, family.ramped);
            if (!magnitude) return false;
            lib.axes[a.ch - 1].pending_distance = *magnitude;
        } else {
            const int dir = a.value > 0 ? 1 : -1;
            if (!prepare_velocity_mode(lib, a.ch, family.kind, dir, family.ramped)) return false;
        }
    }
    if (family.kind == MoveKind::point) {
        for (const AxisArg& a : axes) {
            AxisState& axis = lib.axes[a.ch - 1];
            if (family.ramped)
                compute_profile_regs(lib, a.ch, axis.low_speed, axis.high_speed, axis.accel,
                                     axis.decel);
            else
                compute_conspeed_reg(lib, a.ch, axis.conspeed);
        }
    }
    return true;
}

}  // namespace

MoveFamily point_family(bool ramped, int axis_count) {
    ZeroShortcut shortcut = ZeroShortcut::none;
    if (axis_count == 1) shortcut = ZeroShortcut::after_validation;
    else if (axis_count < 4) shortcut = ZeroShortcut::before_validation;
    return {MoveKind::point, ramped, shortcut};
}

MoveFamily velocity_family(bool ramped) { return {MoveKind::velocity, ramped, ZeroShortcut::none}; }

MoveFamily home_family(bool ramped) { return {MoveKind::home, ramped, ZeroShortcut::none}; }

int check_axes_distinct(Library& lib, std::span<const AxisArg> axes) {
    for (const AxisArg& a : axes)
        if (validate_axis_call(lib, a.ch) < 0) return -1;
    for (size_t i = 0; i < axes.size(); ++i) {
        for (size_t j = i + 1; j < axes.size(); ++j) {
            if (axes[i].ch == axes[j].ch) {
                lib.report_error(kErrSameAxis);
                return -1;
            }
        }
    }
    return 0;
}

int check_point_distances(Library& lib, std::span<const AxisArg> axes) {
    for (const AxisArg& a : axes) {
        if (!distance_fits(compensated_magnitude(lib.axes[a.ch - 1], a.value))) {
            lib.report_error(kErrBadParam);
            return -1;
        }
    }
    return 0;
}

int check_axes_at_rest(Library& lib, std::span<const AxisArg> axes) {
    std::array<int, kMaxAxes> answers{};
    for (size_t i = 0; i < axes.size(); ++i) answers[i] = check_done(lib, axes[i].ch);
    for (size_t i = 0; i < axes.size(); ++i) {
        if (answers[i] != 0) {
            lib.report_error(kErrAxisMoving);
            return -1;
        }
    }
    return 0;
}

int run_move(Library& lib, const MoveFamily& family, std::span<const AxisArg> axes) {
    if (axes.empty() || axes.size() > kMaxAxes) return -1;
    const bool zero = family.kind == MoveKind::point && all_zero(axes);
    if (zero && family.shortcut == ZeroShortcut::before_validation) return 0;
    if (check_axes_distinct(lib, axes) != 0) return -1;
    if (zero && family.shortcut == ZeroShortcut::after_validation) return 0;
    if (family.kind == MoveKind::point && check_point_distances(lib, axes) != 0) return -1;
    if (check_axes_at_rest(lib, axes) != 0) return -1;

    advance_serial(lib);
    if (!prepare_axes(lib, family, axes)) return -1;

    bool all_accepted = true;
    const auto n = static_cast<uint8_t>(axes.size());
    for (uint8_t k = 0; k < n; ++k) {
        const int ch = axes[k].ch;
        const int32_t distance =
            family.kind == MoveKind::point ? lib.axes[ch - 1].pending_distance : kEndlessDistance;
        lib.block.group_remaining = static_cast<uint8_t>(n - k);
        const int sent = family.ramped ? submit_ramped_block(lib, ch, distance)
                                       : submit_constant_block(lib, ch, distance);
        if (sent != 0) all_accepted = false;
    }
    if (!all_accepted) return -1;
    count_accepted_move(lib);
    if (family.kind == MoveKind::point)
        for (const AxisArg& a : axes) record_move(lib, a.ch, a.value, family.ramped ? 1 : 0);
    return 0;
}

int con_pmove(Library& lib, int ch, int32_t step) {
    const AxisArg axes[] = {{ch, step}};
    return run_move(lib, point_family(false, 1), axes);
}

int fast_pmove(Library& lib, int ch, int32_t step) {
    const AxisArg axes[] = {{ch, step}};
    return run_move(lib, point_family(true, 1), axes);
}

}  // namespace dravik
