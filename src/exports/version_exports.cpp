// Exported calls: versions, diagnostics and raw register access.
#include "core/versions.h"
#include "dravik/dravik.h"
#include "exports/export_support.h"

using dravik::exported;
using dravik::Library;

extern "C" {

DRAVIK_API int DRAVIK_CALL get_lib_ver(int* major, int* minor1, int* minor2) {
    return exported([&](Library& l) { return dravik::get_lib_ver(l, major, minor1, minor2); });
}
DRAVIK_API int DRAVIK_CALL get_sys_ver(int* major, int* minor1, int* minor2) {
    return exported([&](Library& l) { return dravik::get_sys_ver(l, major, minor1, minor2); });
}
DRAVIK_API int DRAVIK_CALL get_card_ver(int32_t cardno, int32_t* type, int32_t* major,
                                        int32_t* minor1, int32_t* minor2) {
    return exported(
        [&](Library& l) { return dravik::get_card_ver(l, cardno, type, major, minor1, minor2); });
}
DRAVIK_API int DRAVIK_CALL check_IC(int cardno) {
    return exported([&](Library& l) { return dravik::check_IC(l, cardno); });
}
DRAVIK_API int DRAVIK_CALL write_reg(int ch, int reg, int value) {
    return exported([&](Library& l) { return dravik::write_reg(l, ch, reg, value); });
}
DRAVIK_API int DRAVIK_CALL read_reg(int ch, int reg, int* value) {
    return exported([&](Library& l) { return dravik::read_reg(l, ch, reg, value); });
}
DRAVIK_API int DRAVIK_CALL write_com(int ch, int value) {
    return exported([&](Library& l) { return dravik::write_com(l, ch, value); });
}
DRAVIK_API int DRAVIK_CALL write_card_reg(int cardno, int reg, int value) {
    return exported([&](Library& l) { return dravik::write_card_reg(l, cardno, reg, value); });
}
DRAVIK_API int DRAVIK_CALL read_card_reg(int cardno, int reg, int* value) {
    return exported([&](Library& l) { return dravik::read_card_reg(l, cardno, reg, value); });
}
DRAVIK_API int DRAVIK_CALL DmcGetDllInfo(int unused, double* info) {
    return exported([&](Library& l) { return dravik::get_dll_info(l, unused, info); });
}
DRAVIK_API int DRAVIK_CALL DmcGetBoardDBInfo(int board, int32_t* record) {
    return exported([&](Library& l) { return dravik::get_board_db_info(l, board, record); });
}

}  // extern "C"
