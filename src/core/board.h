// Board enumeration and the start-up pair.
#pragma once

#include <cstdint>

#include "core/library.h"

namespace dravik {

int auto_set(Library& lib);
int init_board(Library& lib);
int get_max_axe(Library& lib);
int get_board_num(Library& lib);
int get_axe(Library& lib, int board_no);
int get_cardno(Library& lib, int* id1, int* id2, int* id3, int* id4);

// Board (1-based) that axis `ch` belongs to, from the board table; 0 when `ch` is on no board.
int board_of_axis(const Library& lib, int ch);

}  // namespace dravik
