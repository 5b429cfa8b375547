#include "driver.h"

#include <cstring>

namespace dravik::sim {

namespace {

// Argument count of every command the driver knows; -1 for codes it does not.
int expected_args(int32_t command) {
    switch (command) {
        case kCmdDriverVersion: return 4;
        case kCmdBoardCount:
        case kCmdBoardMixStatus:
        case kCmdStartBoardInit: return 0;
        case kCmdBoardInfo:
        case kCmdSyncSerial:
        case kCmdReadPort:
        case kCmdClearEncoder:
        case kCmdReadAbsPos:
        case kCmdReadRelPos:
        case kCmdClearPos:
        case kCmdReadCurDir: return 1;
        case kCmdReadAxisReg:
        case kCmdReadBoardReg:
        case kCmdWritePort:
        case kCmdAdjustDistance:
        case kCmdWriteAbsPos: return 2;
        case kCmdWriteAxisReg:
        case kCmdWriteBoardReg: return 3;
        default: return -1;
    }
}

bool valid_axis_reg(int32_t offset) { return offset >= 0 && offset <= 60 && offset % 4 == 0; }

bool run_axis_command(Axis& axis, DriverCommand& cmd, int64_t now) {
    int32_t* w = cmd.words;
    switch (cmd.command) {
        case kCmdReadAxisReg:
            if (!valid_axis_reg(w[1])) return false;
            w[0] = static_cast<int32_t>(axis.read_reg(w[1], now));
            return true;
        case kCmdWriteAxisReg:
            if (!valid_axis_reg(w[1])) return false;
            axis.write_reg(w[1], static_cast<uint32_t>(w[2]), now);
            return true;
        case kCmdAdjustDistance: return axis.adjust_distance(w[1], now);
        case kCmdClearEncoder: axis.clear_encoder(now); return true;
        case kCmdReadAbsPos: w[0] = axis.abs_pos(now); return true;
        case kCmdReadRelPos: w[0] = axis.rel_pos(now); return true;
        case kCmdClearPos: axis.clear_pos(now); return true;
        case kCmdReadCurDir: w[0] = axis.direction(now); return true;
        case kCmdWriteAbsPos: axis.write_abs_pos(w[1], now); return true;
        default: return false;
    }
}

}  // namespace

bool run_driver_command(Machine& machine, DriverCommand& cmd, int64_t now_ns) {
    const int args = expected_args(cmd.command);
    if (args < 0 || cmd.arg_count != args) return false;
    int32_t* w = cmd.words;
    const SimConfig& config = machine.config();
    switch (cmd.command) {
        case kCmdDriverVersion:
            for (int i = 0; i < 3; ++i) w[i] = config.driver_version[i];
            return true;
        case kCmdBoardCount:
            w[0] = config.board_count_override >= 0 ? config.board_count_override
                                                    : machine.board_count();
            return true;
        case kCmdBoardMixStatus: w[0] = config.mix_status; return true;
        case kCmdBoardInfo:
            if (!machine.valid_board(w[0])) return false;
            w[1] = config.axes_per_board[static_cast<size_t>(w[0] - 1)];
            w[0] = config.board_type;
            return true;
        case kCmdStartBoardInit: w[0] = 0; return true;
        case kCmdReadBoardReg:
        case kCmdWriteBoardReg: {
            if (!machine.valid_board(w[0])) return false;
            if (cmd.command == kCmdWriteBoardReg)
                return machine.write_board_reg(w[0], w[1], static_cast<uint32_t>(w[2]));
            uint32_t value = 0;
            if (!machine.read_board_reg(w[0], w[1], value)) return false;
            w[0] = static_cast<int32_t>(value);
            return true;
        }
        case kCmdSyncSerial: machine.set_serial(w[0]); return true;
        case kCmdReadPort: return machine.read_port(w[0], w[0]);
        case kCmdWritePort: return machine.write_port(w[0], w[1]);
        default:
            if (!machine.valid_axis(w[0])) return false;
            return run_axis_command(machine.axis(w[0]), cmd, now_ns);
    }
}

bool fill_board_record(const Machine& machine, int32_t board, BoardRecord& record) {
    if (!machine.valid_board(board)) return false;
    const SimConfig& config = machine.config();
    int32_t first_axis = 1;
    for (int b = 1; b < board; ++b) first_axis += config.axes_per_board[static_cast<size_t>(b - 1)];
    const int32_t words[4] = {board, config.axes_per_board[static_cast<size_t>(board - 1)],
                              first_axis, config.board_type};
    const uint32_t version = config.card_version;
    const uint32_t identity = config.identity_of(board);
    std::memset(record.bytes, 0, sizeof record.bytes);
    std::memcpy(record.bytes, words, sizeof words);
    std::memcpy(record.bytes + 16, &version, 4);
    std::memcpy(record.bytes + 20, &identity, 4);
    static constexpr char kName[] = "DRAVIK-SIM";
    std::memcpy(record.bytes + 24, kName, sizeof kName - 1);
    return true;
}

}  // namespace dravik::sim
