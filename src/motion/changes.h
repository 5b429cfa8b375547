// On-the-fly changes of a running move: a new target (change_pos), a new high speed
// (change_speed) and a new acceleration (change_accel), and the pass of the PositionMonitor's
// polling thread that completes a change of target the axis had already passed.
// Callers hold the library lock (the polling thread holds it for each pass).
//
// change_pos(ch, pos): `pos` is a signed distance from the start point of the running point or
// line move, in the frame of that move's step. Not yet reached: the running move is lengthened or
// shortened in place. Reached or passed: the axis is stopped (sudden for a constant-speed move,
// decelerated for a ramped one) and the polling thread moves it to the target once it is at rest,
// with a point move of the same speed mode. Results: 0 applied or handed over; -1 refused:
//   validation failed; the axis is at rest; no point or line move of the axis is on record
//   (its recorded distance is 0, so the target has no frame); the board is older than 2.2 or its
//   version cannot be read; REG_INPUT_CONFIG or the relative position cannot be read; the polling
//   thread cannot be started. The board of the axis comes from the board table.
//
// change_speed(ch, speed): 0 when written or when the axis is at rest; -1 validation, a NaN speed
//   (0x2000002), a failed read of REG_MODE or REG_STATUS, a constant-speed move (0x2000001), or a
//   failed write of REG_SPEED_CHANGE.
// change_accel(ch, accel): stores |accel| as the axis's acceleration and deceleration and writes
//   the register value to REG_ACCEL_CHANGE and REG_DECEL_CHANGE. 0; -1 validation, a NaN
//   acceleration (0x2000002, nothing stored), or a failed register write.
#pragma once

#include <cstdint>

#include "core/library.h"

namespace dravik {

int change_pos(Library& lib, int ch, int32_t pos);
int change_speed(Library& lib, int ch, double speed);
int change_accel(Library& lib, int ch, double accel);

// What one polling pass found.
enum class PassResult {
    nothing_pending,  // no change waits: the polling thread ends
    waiting,          // changes wait, none could be completed (their axes still move)
    progressed,       // at least one change was completed or dropped in this pass
};

// One pass over the monitor entries of every axis.
//
// A pending axis is left pending while its status or REG_REMAINING cannot be read or while it
// still moves. Once at rest, the point move from where it stopped to the target is re-issued and
// the entry completed. An entry whose recorded distance is 0 (no frame for the target), or whose
// way to the target has no 32-bit form, is dropped without a move.
PassResult poll_pass(Library& lib);

}  // namespace dravik
