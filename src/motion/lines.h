// Linear interpolation of two to four axes: the vector speed (con_line) or vector profile
// (fast_line) is split into one speed set per axis in proportion to its distance, and each axis is
// sent an ordinary point-move block; the blocks form one group. Callers hold the library lock.
//
// Outcomes chosen here:
//  - Every distance 0: 0, nothing validated or sent.
//  - Every prepared distance 0 although some argument was not (backlash cancelling a step):
//    0 without sending anything or counting, for every axis count alike; the move record is kept.
//  - fast_line with a vector acceleration of 0 (accepted by set_vector_profile): refused with
//    0x2000002 after validation and the distinct-axis test, before anything is sent; a ramp with
//    no acceleration has no duration and no register value. Likewise con_line with a vector
//    constant speed that is not a number (set_vector_conspeed stores what it is given).
//  - A distance whose compensated magnitude has no block form: refused with 0x2000019, as for
//    point moves.
#pragma once

#include <span>

#include "core/library.h"
#include "motion/moves.h"

namespace dravik {

// 0 or -1.
int run_line(Library& lib, bool ramped, std::span<const AxisArg> axes);

}  // namespace dravik
