// Exported calls: board set-up and queries.
#include "core/board.h"
#include "dravik/dravik.h"
#include "exports/export_support.h"

using dravik::exported;
using dravik::Library;

extern "C" {

DRAVIK_API int DRAVIK_CALL auto_set(void) {
    return exported([&](Library& l) { return dravik::auto_set(l); });
}
DRAVIK_API int DRAVIK_CALL init_board(void) {
    return exported([&](Library& l) { return dravik::init_board(l); });
}
DRAVIK_API int DRAVIK_CALL get_max_axe(void) {
    return exported([&](Library& l) { return dravik::get_max_axe(l); });
}
DRAVIK_API int DRAVIK_CALL get_board_num(void) {
    return exported([&](Library& l) { return dravik::get_board_num(l); });
}
DRAVIK_API int DRAVIK_CALL get_axe(int board_no) {
    return exported([&](Library& l) { return dravik::get_axe(l, board_no); });
}
DRAVIK_API int DRAVIK_CALL get_cardno(int* id1, int* id2, int* id3, int* id4) {
    return exported([&](Library& l) { return dravik::get_cardno(l, id1, id2, id3, id4); });
}

}  // extern "C"
