// The calls that read and clear the error record.
#pragma once

#include "core/library.h"

namespace dravik {

// n-th most recent error code (1 = newest, 1..10) into *code: 0, or -1 with *code = -1.
int get_err(Library& lib, int n, int* code);
// Code in the newest record slot; 0 when nothing was recorded since load or reset_err.
int get_last_err(Library& lib);
// Empties the error record (LastError itself is kept). Always 0.
int reset_err(Library& lib);

}  // namespace dravik
