// Board enumeration and the start-up pair (auto_set, init_board).
//
// The board table is a vector sized from the count the driver reports, so there is no limit of
// 6 boards: any positive count the driver can express in its signed count byte (1 to 127) is
// accepted. A count byte below -1 (no sensible count) is treated like 0: "the driver reports no
// board" (error 7). -1 means the count request failed and has been reported already.
#include "core/board.h"

#include "axis/defaults.h"
#include "core/validation.h"

namespace dravik {
namespace {

// Low byte of the driver's board count, signed.
int8_t count_byte(int32_t word) { return static_cast<int8_t>(word & 0xFF); }

// Error code of a bad board combination status (1..4), or 0 for any other status.
int32_t mix_error(int32_t status) {
    switch (static_cast<int8_t>(status & 0xFF)) {
        case 1:
            return kErrMix1;
        case 2:
            return kErrMix2;
        case 3:
            return kErrMix3;
        case 4:
            return kErrMix4;
        default:
            return 0;
    }
}

}  // namespace

int auto_set(Library& lib) {
    BoardState& b = lib.boards;
    if (b.init_stage != 0) return b.total_axes;
    b.init_stage = 1;
    lib.errors.prepare();

    const int8_t n = count_byte(lib.driver.read_board_count());
    if (n == -1) return -1;
    if (n == 0 || n < -1) {
        lib.report_error(kErrNoBoard);
        return 0;
    }
    b.board_count = n;
    b.axes_per_board.assign(static_cast<size_t>(n), 0);
    b.total_axes = 0;
    for (int board = 1; board <= n; ++board) {
        int8_t axes = 0, type = 0;
        if (lib.driver.read_board_info(board, &axes, &type) != 0) return -2;
        if (axes <= 0) {
            lib.report_error(kErrScanNoAxes);
            return -3;
        }
        b.axes_per_board[static_cast<size_t>(board - 1)] = axes;
        b.total_axes += axes;
    }
    lib.ensure_axis_tables(b.total_axes);

    if (const int32_t err = mix_error(lib.driver.read_board_mix_status())) {
        lib.report_error(err);
        return -10;
    }
    return b.total_axes;
}

int init_board(Library& lib) {
    BoardState& b = lib.boards;
    if (b.init_stage == 0) {
        lib.errors.prepare();
        lib.report_error(kErrInitBeforeAutoSet);
        return -1;
    }
    if (b.init_stage == 2) return b.board_count;
    b.init_stage = 2;

    const int8_t n = count_byte(lib.driver.read_board_count());
    if (n == -1) return -1;
    if (n == 0 || n < -1) {
        lib.report_error(kErrNoBoard);
        return 0;
    }
    if (n != b.board_count) return -3;

    b.total_axes = 0;
    for (int board = 1; board <= n; ++board) {
        int8_t axes = 0, type = 0;
        if (lib.driver.read_board_info(board, &axes, &type) != 0) return -1;
        if (axes <= 0) {
            lib.report_error(kErrInitNoAxes);
            return -2;
        }
        if (axes != b.axes_per_board[static_cast<size_t>(board - 1)]) return -3;
        b.total_axes += axes;
    }
    lib.ensure_axis_tables(b.total_axes);
    b.boards_ready = 1;

    if (write_axis_defaults(lib) == -1) return -1;

    if (!driver_version_ok(lib)) return -5;
    if (!card_type_ok(lib)) return -6;

    if (const int32_t err = mix_error(lib.driver.read_board_mix_status())) {
        lib.report_error(err);
        return -10;
    }
    return b.board_count;
}

int get_max_axe(Library& lib) { return lib.boards.total_axes; }

int get_board_num(Library& lib) { return lib.boards.board_count; }

int get_axe(Library& lib, int board_no) {
    if (board_no < 1 || board_no > lib.boards.board_count) return -1;
    return lib.boards.axes_per_board[static_cast<size_t>(board_no - 1)];
}

int get_cardno(Library& lib, int* id1, int* id2, int* id3, int* id4) {
    const int32_t count = lib.driver.read_board_count();
    if (count < 1 || count > 4) return 1;
    int* ids[4] = {id1, id2, id3, id4};
    for (int board = 1; board <= 4; ++board) {
        int* target = ids[board - 1];
        if (board > count) {
            if (target) *target = 0;
            continue;
        }
        int32_t word = 0;
        // The read goes out even for a null target, so the request sequence does not depend on
        // which pointers the caller passed.
        if (lib.driver.read_board_reg(board, kBoardIdentity, &word) == 0 && target) *target = word;
    }
    return 1;
}

int board_of_axis(const Library& lib, int ch) {
    if (ch < 1) return 0;
    int first = 1;
    for (size_t i = 0; i < lib.boards.axes_per_board.size(); ++i) {
        const int axes = lib.boards.axes_per_board[i];
        if (ch < first + axes) return static_cast<int>(i) + 1;
        first += axes;
    }
    return 0;
}

}  // namespace dravik
