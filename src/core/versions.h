// Versions, diagnostics and raw register access.
#pragma once

#include <cstdint>

#include "core/library.h"

namespace dravik {

int get_lib_ver(Library& lib, int* major, int* minor1, int* minor2);
int get_sys_ver(Library& lib, int* major, int* minor1, int* minor2);
int get_card_ver(Library& lib, int32_t cardno, int32_t* type, int32_t* major, int32_t* minor1,
                 int32_t* minor2);
int check_IC(Library& lib, int cardno);
int write_reg(Library& lib, int ch, int reg, int value);
int read_reg(Library& lib, int ch, int reg, int* value);
int write_com(Library& lib, int ch, int value);
int write_card_reg(Library& lib, int cardno, int reg, int value);
int read_card_reg(Library& lib, int cardno, int reg, int* value);
int get_dll_info(Library& lib, int unused, double* info);
int get_board_db_info(Library& lib, int board, int32_t* record);

}  // namespace dravik
