// Stops: one read-modify-write of REG_MODE per moving axis, setting the run field to "stop at
// once" (sudden) or "decelerate and stop" (decel). Axes at rest are left alone. Callers hold the
// library lock.
//
// Result of a stop call over axes a1..aN, processed in argument order:
//   0   every axis was at rest or has been sent its stop command;
//   -1  an axis failed validation (nothing touched), or the status or the mode register of an
//       axis could not be read (earlier axes handled, that one and later ones not; a mode value
//       that was not read from the board is never written back);
//   ai  the axis whose REG_MODE write failed (earlier axes handled, later ones not).
#pragma once

#include <span>

#include "core/library.h"

namespace dravik {

enum class StopKind { sudden, decel };

int stop_axes(Library& lib, StopKind kind, std::span<const int> axes);
int sudden_stop(Library& lib, int ch);
int decel_stop(Library& lib, int ch);

// The head of the library's unload: keeps the polling thread from running another pass, stops
// every axis 1..get_max_axe with sudden_stop in ascending order (results ignored), then joins the
// polling thread. Takes the library lock itself for the stops and releases it before the join, so
// the caller must NOT hold it. Call before the device is closed.
void stop_motion_for_unload(Library& lib);

}  // namespace dravik
