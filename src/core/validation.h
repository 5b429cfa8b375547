// The check every axis call starts with: library ready, axis in range, driver and card versions.
#pragma once

#include "core/library.h"

namespace dravik {

// 0 when axis `ch` may be used; otherwise a negative value with the cause reported:
// -2 not ready (9), -1 axis out of range (0x2000001), -5 driver version (0x12), -6 card type
// (0x13).
int validate_axis_call(Library& lib, int ch);

// Reads the driver version into the kept values (a failed read keeps them) and tells whether
// the kept version is the one the library works with, 3.0.0.
bool driver_version_ok(Library& lib);
// Reads board 1's version word into the kept card values (a failed read keeps them) and tells
// whether the kept card type is 0.
bool card_type_ok(Library& lib);

// Validates every axis in order and stops at the first failure; 0 or the failing result.
int validate_axes(Library& lib, const int* axes, int count);

// Reports kErrBadParam and returns true when `p` is null (null out-pointers of exported calls).
bool null_out(Library& lib, const void* p);

}  // namespace dravik
