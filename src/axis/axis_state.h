// What the library keeps beside the hardware for each axis, and the library-wide motion settings.
// All fields are guarded by Library::mutex (every exported call and every polling pass hold it).
#pragma once

#include <cstdint>

namespace dravik {

enum BacklashState : uint8_t {
    BACKLASH_OFF = 0,
    BACKLASH_ON = 1,     // compensate on every reversal
    BACKLASH_ARMED = 2,  // compensate the next point move once, then ON
};

struct AxisState {
    // Stored speed settings (pulses/s, pulses/s^2).
    double conspeed = 0.0;
    double low_speed = 0.0;
    double high_speed = 0.0;
    double accel = 0.0;
    double decel = 0.0;
    double max_speed = 0.0;
    // Speed unit: rate = 1007 / rate_divider pulses/s per register count.
    double rate = 0.0;
    int32_t rate_divider = 0;
    // Register values derived from the settings (speed 1..8191, acceleration 2..65535).
    int32_t conspeed_reg = 0;
    int32_t low_speed_reg = 0;
    int32_t high_speed_reg = 0;
    int32_t high_speed_reg2 = 0;
    int32_t accel_reg = 0;
    int32_t decel_reg = 0;
    // Working values of the axis's latest move.
    uint32_t mode_shadow = 0;      // image of REG_MODE
    int32_t pending_distance = 0;  // magnitude the move will send
    int8_t last_direction = 0;     // +1, -1, 0 before the first move
    // Configuration that acts through later moves.
    int32_t backlash = 0;
    uint8_t backlash_state = BACKLASH_OFF;
    uint8_t el_enabled = 0;
    uint8_t org_enabled = 0;
    int32_t io_open_pos = 0;
    int32_t io_close_pos = 0;
};

struct MotionSettings {
    uint8_t ramp_flag = 0;        // 0, 1 or 2 (2 after init_board)
    uint8_t rate_from_speed = 0;  // 1 only while a line move converts its component speeds
    int32_t command_counter = 0;  // move calls whose blocks were all accepted
    double vector_conspeed = 0.0;
    double vector_low_speed = 0.0;
    double vector_high_speed = 0.0;
    double vector_accel = 0.0;
};

// Per-axis move record and PositionMonitor entry (one per axis, index ch - 1).
struct MoveRecord {
    int32_t move_mode = 0;           // 0 constant speed, 1 ramped (last point or line move)
    int32_t commanded_distance = 0;  // signed distance of that move as the caller gave it
    int32_t new_target = 0;          // target of the last change_pos, same frame
    int32_t change_pending = 0;      // 1 while the polling thread must complete a change
};

}  // namespace dravik
