// Axis configuration calls. Register calls are a read-modify-write of one axis register: the
// register is read, only the named bits change, and the value is written back. Callers hold the
// library lock.
//
// Results: 0, or -1 when validation fails, an argument is refused (as documented per call in the
// public header), the register cannot be read (then nothing is written: a value that was not read
// from the board is never written back), or the register write fails. The AxisState flags that
// follow a register (mode_shadow, el_enabled, org_enabled) change only when the write succeeded.
#pragma once

#include "core/library.h"

namespace dravik {

int set_outmode(Library& lib, int ch, int mode, int outlogic);
int set_dir(Library& lib, int ch, int dir);
int set_home_mode(Library& lib, int ch, int home_mode);
int enable_sd(Library& lib, int ch, int flag);
int enable_el(Library& lib, int ch, int flag);
int enable_org(Library& lib, int ch, int flag);
int set_sd_logic(Library& lib, int ch, int flag);
int set_el_logic(Library& lib, int ch, int flag);
int set_org_logic(Library& lib, int ch, int flag);
// Every axis 1..total: an axis whose register cannot be read is not written; the others still
// are; -1 when any axis failed.
int set_alm_logic(Library& lib, int ch, int flag);
int set_encoder_mode(Library& lib, int ch, int mode, int multip, int count_unit);
int set_getpos_mode(Library& lib, int ch, int mode);
int set_io_pos(Library& lib, int ch, int open_pos, int close_pos);
int enable_io_pos(Library& lib, int cardno, int flag);
int set_backlash(Library& lib, int ch, int backlash);
int start_backlash(Library& lib, int ch);
int end_backlash(Library& lib, int ch);
int set_ramp_flag(Library& lib, int flag);

}  // namespace dravik
