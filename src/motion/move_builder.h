// The move builder: what every move family shares between its checks and the driver. It builds
// an axis's mode image for a point move or for a continuous/home move, applies backlash
// compensation, fills the one MotionBlock (never cleared: fields a block type does not write keep
// what the previous request left) and sends it, and keeps the move record.
// Callers hold the library lock.
#pragma once

#include <cstdint>
#include <optional>

#include "core/library.h"

namespace dravik {

enum class MoveKind { point, velocity, home };

// Distance a point move of `step` sends for this axis: |step| plus the backlash compensation due
// (armed: once; on: when the direction reverses). Computed in 64 bits; see distance_fits().
int64_t compensated_magnitude(const AxisState& axis, int32_t step);
// True when a compensated magnitude can be sent as a block distance (0..2147483647).
bool distance_fits(int64_t magnitude);

// Builds mode_shadow for a point or line move from REG_MODE as read, records the direction and
// advances the backlash state; ramped moves also write REG_RAMP_AUX = 0. Returns the magnitude to
// send, or nothing when REG_MODE could not be read (the axis state is then left as it was and no
// block may be sent: its image would not come from the board). ramp_flag 1 sets MODE_POINT_RAMP
// and MODE_RAMP_FLAG, 2 clears them, 0 leaves them as read. The caller has checked
// distance_fits(compensated_magnitude(...)).
std::optional<int32_t> prepare_point_mode(Library& lib, int ch, int32_t distance, bool ramped);

// Builds mode_shadow for a continuous (velocity) or home move in direction `dir` (+1 / -1) and
// converts the axis's stored speeds. False when REG_MODE could not be read (nothing changed).
bool prepare_velocity_mode(Library& lib, int ch, MoveKind kind, int dir, bool ramped);

void record_last_direction(Library& lib, int ch, int dir);

// Fills the MotionBlock for axis `ch` and sends it; group_remaining and serial are the move's.
// 0 accepted, -1 not delivered or refused (reported by the driver channel).
int submit_axis_block(Library& lib, int ch, int32_t block_type, int32_t distance);
int submit_constant_block(Library& lib, int ch, int32_t distance);
int submit_ramped_block(Library& lib, int ch, int32_t distance);

// Move record of a successful point or line move: signed step as the caller gave it and speed
// mode (0 constant, 1 ramped). A new move also supersedes a change of position that was still
// waiting for the axis to come to rest.
void record_move(Library& lib, int ch, int32_t step, int32_t mode);

// Duration in seconds of a symmetric ramped move of `distance` pulses from `start_speed` up to at
// most `high_speed` at `accel`. Meaningful for distance > 0 and accel > 0.
double profile_move_time(int32_t distance, double start_speed, double high_speed, double accel);

// serial + 1 and command_counter + 1, wrapping at the 32-bit range.
void advance_serial(Library& lib);
void count_accepted_move(Library& lib);

}  // namespace dravik
