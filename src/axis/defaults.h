// Power-on defaults of every axis, written by init_board.
#pragma once

#include "core/library.h"

namespace dravik {

void reset_axis_state(Library& lib);
// 0, or -1 when the driver refuses the board start (no register written then).
int write_axis_defaults(Library& lib);

}  // namespace dravik
