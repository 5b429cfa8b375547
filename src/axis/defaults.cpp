// Power-on defaults of every axis, run by init_board once the boards are counted and the library
// is ready (the speed settings inside go through the same operations as set_conspeed and
// set_profile, which validate their axis).
#include "axis/defaults.h"

#include "axis/registers.h"
#include "motion/speed.h"

namespace dravik {
namespace {

constexpr double kDefaultSpeed = 2000.0;
constexpr double kDefaultHighSpeed = 8000.0;
constexpr double kDefaultAccel = 80000.0;
constexpr double kDefaultMaxSpeed = 8200000.0;
constexpr int32_t kDefaultBacklash = 20;
constexpr uint8_t kDefaultRampFlag = 2;

// Registers cleared at start-up, in the order they are written (after REG_MODE).
constexpr int32_t kClearedRegisters[] = {REG_REMAINING,       REG_AUX4,         REG_SPEED_CHANGE,
                                         REG_DISTANCE_CHANGE, REG_AUX32,        REG_AUX36,
                                         REG_ENCODER,         REG_INPUT_CONFIG, REG_HOME_CONFIG};

}  // namespace

void reset_axis_state(Library& lib) {
    lib.ensure_axis_tables(lib.boards.total_axes);
    for (int32_t ch = 1; ch <= lib.boards.total_axes; ++ch) {
        AxisState& a = lib.axes[static_cast<size_t>(ch - 1)];
        a.pending_distance = 0;
        a.low_speed_reg = 0;
        a.high_speed_reg = 0;
        a.high_speed_reg2 = 0;
        a.accel_reg = 0;
        a.decel_reg = 0;
        a.rate_divider = 0;
        a.io_open_pos = 0;
        a.io_close_pos = 0;
        a.mode_shadow = MODE_DEFAULT;
        a.backlash_state = BACKLASH_OFF;
        a.backlash = kDefaultBacklash;
        a.last_direction = 0;
        a.max_speed = kDefaultMaxSpeed;
        a.org_enabled = 1;
        a.el_enabled = 1;
    }
    lib.settings.rate_from_speed = 0;
    lib.settings.ramp_flag = kDefaultRampFlag;
}

int write_axis_defaults(Library& lib) {
    reset_axis_state(lib);
    if (lib.driver.start_board_init() == -1) return -1;
    for (int32_t ch = 1; ch <= lib.boards.total_axes; ++ch) {
        // Results of these writes are not checked: a failed write has been reported by the
        // driver channel, and the remaining axes still get their defaults.
        lib.driver.write_axis_reg(ch, REG_MODE, static_cast<int32_t>(MODE_DEFAULT));
        for (int32_t reg : kClearedRegisters) lib.driver.write_axis_reg(ch, reg, 0);
        store_conspeed(lib, ch, kDefaultSpeed);
        store_profile(lib, ch, kDefaultSpeed, kDefaultHighSpeed, kDefaultAccel);
    }
    lib.settings.vector_low_speed = kDefaultSpeed;
    lib.settings.vector_high_speed = kDefaultHighSpeed;
    lib.settings.vector_accel = kDefaultAccel;
    lib.settings.vector_conspeed = kDefaultSpeed;
    lib.driver.sync_motion_serial(lib.block, 0);
    return 0;
}

}  // namespace dravik
