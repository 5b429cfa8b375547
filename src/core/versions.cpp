// Versions, diagnostics and raw register access. The raw register calls check neither the axis
// nor the board number: they go to the driver as given and work before auto_set. A read that
// fails leaves the caller's target unchanged.
#include "core/versions.h"

#include <cstring>

#include "axis/registers.h"
#include "core/validation.h"

namespace dravik {

int get_lib_ver(Library&, int* major, int* minor1, int* minor2) {
    if (major) *major = 3;
    if (minor1) *minor1 = 0;
    if (minor2) *minor2 = 1;
    return 0;
}

int get_sys_ver(Library& lib, int* major, int* minor1, int* minor2) {
    if (null_out(lib, major) || null_out(lib, minor1) || null_out(lib, minor2)) return -1;
    int32_t v[3];
    if (lib.driver.read_driver_version(&v[0], &v[1], &v[2]) != 0) return -1;
    *major = v[0];
    *minor1 = v[1];
    *minor2 = v[2];
    return 0;
}

int get_card_ver(Library& lib, int32_t cardno, int32_t* type, int32_t* major, int32_t* minor1,
                 int32_t* minor2) {
    if (null_out(lib, type) || null_out(lib, major) || null_out(lib, minor1) ||
        null_out(lib, minor2))
        return -1;
    if (cardno < 1 || cardno > lib.boards.board_count) {
        lib.report_error(kErrBadBoard);
        return -1;
    }
    int32_t word = 0;
    if (lib.driver.read_board_reg(cardno, kBoardVersion, &word) != 0) return -1;
    const auto w = static_cast<uint32_t>(word);
    *type = static_cast<int32_t>(w >> 24);
    *major = static_cast<int32_t>((w >> 16) & 0xFF);
    *minor1 = static_cast<int32_t>((w >> 8) & 0xFF);
    *minor2 = static_cast<int32_t>(w & 0xFF);
    return 0;
}

int check_IC(Library& lib, int cardno) {
    if (cardno < 1 || cardno > lib.boards.board_count) return -1;
    int32_t word = 0;
    if (lib.driver.read_board_reg(cardno, kBoardIdentity, &word) != 0) return 0;
    return word;
}

int write_reg(Library& lib, int ch, int reg, int value) {
    return lib.driver.write_axis_reg(ch, reg, value) == 0 ? 0 : -1;
}

int read_reg(Library& lib, int ch, int reg, int* value) {
    if (null_out(lib, value)) return -1;
    int32_t v = 0;
    if (lib.driver.read_axis_reg(ch, reg, &v) != 0) return -1;
    *value = v;
    return 0;
}

int write_com(Library& lib, int ch, int value) {
    return lib.driver.write_axis_reg(ch, REG_MODE, value) == 0 ? 0 : -1;
}

int write_card_reg(Library& lib, int cardno, int reg, int value) {
    return lib.driver.write_board_reg(cardno, reg, value);
}

int read_card_reg(Library& lib, int cardno, int reg, int* value) {
    if (null_out(lib, value)) return -1;
    int32_t v = 0;
    if (lib.driver.read_board_reg(cardno, reg, &v) != 0) return -1;
    *value = v;
    return 0;
}

int get_dll_info(Library& lib, int, double* info) {
    if (info) std::memcpy(info, lib.dll_info.data(), sizeof lib.dll_info);
    return 0;
}

int get_board_db_info(Library& lib, int board, int32_t* record) {
    if (null_out(lib, record)) return -1;
    BoardRecord local{};
    const int rc = lib.driver.board_db_info(board, &local);
    if (rc == 0) std::memcpy(record, local.bytes, sizeof local.bytes);
    return rc;
}

}  // namespace dravik
