#include "motion/move_builder.h"

#include <cmath>
#include <limits>

#include "axis/registers.h"
#include "motion/speed.h"

namespace dravik {

namespace {

constexpr uint32_t kRampFlagBits = MODE_POINT_RAMP | MODE_RAMP_FLAG;

// Truncation toward zero, saturating at the 32-bit range; NaN gives the lower bound.
int32_t truncate_saturated(double x) {
    if (!(x >= static_cast<double>(std::numeric_limits<int32_t>::min())))
        return std::numeric_limits<int32_t>::min();
    if (x >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(x);
}

int32_t wrapping_increment(int32_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) + 1u);
}

// A low register value of 1 goes to a ramped block as 2.
int32_t ramped_speed_word(int32_t reg) { return reg == 1 ? 2 : reg; }

bool read_mode(Library& lib, int ch, uint32_t* mode) {
    int32_t value = 0;
    if (lib.driver.read_axis_reg(ch, REG_MODE, &value) != 0) return false;
    *mode = static_cast<uint32_t>(value);
    return true;
}

}  // namespace

int64_t compensated_magnitude(const AxisState& axis, int32_t step) {
    const int dir = step < 0 ? -1 : 1;
    int64_t magnitude = std::llabs(static_cast<int64_t>(step));
    if (axis.backlash_state == BACKLASH_ARMED ||
        (axis.backlash_state == BACKLASH_ON && dir != axis.last_direction))
        magnitude += axis.backlash;
    return magnitude;
}

bool distance_fits(int64_t magnitude) {
    return magnitude >= 0 && magnitude <= std::numeric_limits<int32_t>::max();
}

std::optional<int32_t> prepare_point_mode(Library& lib, int ch, int32_t distance, bool ramped) {
    uint32_t mode = 0;
    if (!read_mode(lib, ch, &mode)) return std::nullopt;
    AxisState& axis = lib.axes[ch - 1];

    if (lib.settings.ramp_flag == 1) mode |= kRampFlagBits;
    else if (lib.settings.ramp_flag == 2) mode &= ~kRampFlagBits;

    mode = (mode & ~(MODE_RUN | MODE_ORG_STOP)) | MODE_RUN_GO | MODE_POSITIONING;

    const int dir = distance < 0 ? -1 : 1;
    if (dir < 0) mode |= MODE_DIR_NEG;
    else mode &= ~MODE_DIR_NEG;

    const int64_t magnitude = compensated_magnitude(axis, distance);
    if (axis.backlash_state == BACKLASH_ARMED) axis.backlash_state = BACKLASH_ON;
    record_last_direction(lib, ch, dir);

    if (ramped) {
        lib.driver.write_axis_reg(ch, REG_RAMP_AUX, 0);
        mode |= MODE_RAMP | MODE_POINT_RAMP | MODE_SPEED_SELECT_0;
    } else {
        mode &= ~(MODE_SPEED_SELECT | MODE_RAMP | MODE_POINT_RAMP);
    }
    axis.mode_shadow = mode;
    // The callers refuse a step whose compensated magnitude does not fit before they get here.
    return distance_fits(magnitude) ? static_cast<int32_t>(magnitude)
                                    : std::numeric_limits<int32_t>::max();
}

bool prepare_velocity_mode(Library& lib, int ch, MoveKind kind, int dir, bool ramped) {
    uint32_t mode = 0;
    if (!read_mode(lib, ch, &mode)) return false;
    record_last_direction(lib, ch, dir);
    AxisState& axis = lib.axes[ch - 1];

    mode = (mode & ~(MODE_SPEED_SELECT | MODE_RAMP | MODE_RUN)) | MODE_RUN_GO;
    if (kind == MoveKind::home) {
        if (axis.org_enabled == 1) mode |= MODE_ORG_STOP;
    } else if (axis.org_enabled == 1 || axis.el_enabled == 1) {
        mode &= ~MODE_ORG_STOP;
    }
    if (dir > 0) mode &= ~MODE_DIR_NEG;
    else mode |= MODE_DIR_NEG;
    mode &= ~MODE_POSITIONING;

    if (ramped) {
        lib.driver.write_axis_reg(ch, REG_RAMP_AUX, 0);
        compute_profile_regs(lib, ch, axis.low_speed, axis.high_speed, axis.accel, axis.decel);
        mode = (mode & ~MODE_POINT_RAMP) | MODE_RAMP | MODE_SPEED_SELECT_0;
    } else {
        compute_conspeed_reg(lib, ch, axis.conspeed);
        mode &= ~(MODE_SPEED_SELECT | MODE_RAMP | MODE_POINT_RAMP);
    }
    axis.mode_shadow = mode;
    return true;
}

void record_last_direction(Library& lib, int ch, int dir) {
    lib.axes[ch - 1].last_direction = static_cast<int8_t>(dir < 0 ? -1 : 1);
}

int submit_axis_block(Library& lib, int ch, int32_t block_type, int32_t distance) {
    AxisState& axis = lib.axes[ch - 1];
    MotionBlock& block = lib.block;
    block.rate_whole = truncate_saturated(axis.rate);
    block.axis = ch;
    block.block_type = block_type;
    block.distance = distance;
    if (block_type == kBlockRamped) {
        axis.high_speed_reg2 = axis.high_speed_reg;
        block.speed_word_1 = ramped_speed_word(axis.low_speed_reg);
        block.speed_word_2 = ramped_speed_word(axis.high_speed_reg);
        block.speed_word_3 = ramped_speed_word(axis.high_speed_reg2);
        block.accel_word = axis.accel_reg;
        block.decel_word = axis.decel_reg;
    } else {
        block.speed_select = 1;
        block.speed_word_1 = axis.conspeed_reg;
    }
    block.rate_divider = axis.rate_divider;
    block.io_open_pos = axis.io_open_pos;
    block.io_close_pos = axis.io_close_pos;
    block.mode_image = axis.mode_shadow;
    return lib.driver.send_motion_block(block) < 0 ? -1 : 0;
}

int submit_constant_block(Library& lib, int ch, int32_t distance) {
    return submit_axis_block(lib, ch, kBlockConstant, distance);
}

int submit_ramped_block(Library& lib, int ch, int32_t distance) {
    AxisState& axis = lib.axes[ch - 1];
    axis.high_speed_reg2 = axis.high_speed_reg;
    return submit_axis_block(lib, ch, kBlockRamped, distance);
}

void record_move(Library& lib, int ch, int32_t step, int32_t mode) {
    if (ch < 1 || static_cast<size_t>(ch) > lib.moves.size()) return;
    MoveRecord& record = lib.moves[ch - 1];
    record.commanded_distance = step;
    record.move_mode = mode;
    record.change_pending = 0;
}

double profile_move_time(int32_t distance, double start_speed, double high_speed, double accel) {
    const double s = distance;
    const double vl = start_speed;
    const double vh = high_speed;
    const double a = accel;
    const double t_ramp = (vh - vl) / a;
    const double s_ramp = (vh - vl) * (vh + vl) / a / 2.0;
    const double t_flat = (s - 2.0 * s_ramp) / vh;
    if (t_flat > 0.0) return 2.0 * t_ramp + t_flat;
    return (2.0 * std::sqrt(vl * vl + s * a) - 2.0 * vl) / a;
}

void advance_serial(Library& lib) { lib.block.serial = wrapping_increment(lib.block.serial); }

void count_accepted_move(Library& lib) {
    lib.settings.command_counter = wrapping_increment(lib.settings.command_counter);
}

}  // namespace dravik
