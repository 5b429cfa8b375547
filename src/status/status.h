// Positions, axis status and the command counter.
#pragma once

#include <cstdint>

#include "core/library.h"

namespace dravik {

int get_abs_pos(Library& lib, int ch, int32_t* abs_pos);
int get_rel_pos(Library& lib, int ch, int32_t* rel_pos);
int get_encoder(Library& lib, int ch, int32_t* en_pos);
int get_cur_dir(Library& lib, int ch);
int check_status(Library& lib, int ch);
// The library's busy test: 1 moving, 0 at rest, -1 validation or status read failed.
int check_done(Library& lib, int ch);
int check_limit(Library& lib, int ch);
int check_home(Library& lib, int ch);
int check_SD(Library& lib, int ch);
int check_alarm(Library& lib, int ch);
int set_abs_pos(Library& lib, int ch, int32_t pos);
int reset_pos(Library& lib, int ch);
int reset_enc_pos(Library& lib, int ch);
int get_cmd_counter(Library& lib);
int set_cmd_counter(Library& lib, int value);
int reset_cmd_counter(Library& lib);

}  // namespace dravik
