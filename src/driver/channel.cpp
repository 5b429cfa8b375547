// The three senders and the typed DriverCommand wrappers. Every request of the library passes
// through send_driver_command, send_motion_block or board_db_info; a failed request is reported
// here exactly once and the wrappers only map it to their own failure value.
#include "driver/channel.h"

#include <cstring>
#include <initializer_list>
#include <utility>

namespace dravik {

DriverChannel::DriverChannel(std::unique_ptr<Device> device, ErrorSink& sink)
    : device_(std::move(device)), sink_(sink) {}

void DriverChannel::close() { device_.reset(); }

int DriverChannel::send_driver_command(DriverCommand& cmd) {
    if (!device_) {
        sink_.report_error(kErrNoDevice);
        return -1;
    }
    if (!device_->control(kRequestDriverCommand, &cmd, sizeof cmd, &cmd, sizeof cmd)) {
        sink_.report_error(kErrRequestFailed);
        return -2;
    }
    return 0;
}

int DriverChannel::send_motion_block(const MotionBlock& block) {
    if (!device_) {
        sink_.report_error(kErrNoDevice);
        return -1;
    }
    uint32_t accepted = 0;
    if (!device_->control(kRequestMotionBlock, &block, sizeof block, &accepted, sizeof accepted)) {
        sink_.report_error(kErrRequestFailed);
        return -2;
    }
    if (accepted == 0) {
        sink_.report_error(kErrMotionRefused);
        return -3;
    }
    return 0;
}

int DriverChannel::board_db_info(int32_t board, BoardRecord* record) {
    if (!device_) {
        sink_.report_error(kErrNoDevice);
        return -1;
    }
    BoardRecord local{};
    if (!device_->control(kRequestBoardRecord, &board, sizeof board, &local, sizeof local)) {
        sink_.report_error(kErrRequestFailed);
        return -2;
    }
    std::memcpy(record, &local, sizeof local);
    return 0;
}

namespace {

// A zeroed command: words past the arguments go out as 0, so the traffic is deterministic.
DriverCommand make_command(int32_t code, int32_t arg_count, std::initializer_list<int32_t> args) {
    DriverCommand cmd{};
    cmd.command = code;
    cmd.arg_count = arg_count;
    int i = 0;
    for (int32_t a : args) cmd.words[i++] = a;
    return cmd;
}

// Sends command `code` with `args` (arg_count = number of args); on success stores word 0 in
// *word when given. 0, or -1 when the request failed (already reported).
int run(DriverChannel& channel, int32_t code, std::initializer_list<int32_t> args,
        int32_t* word = nullptr) {
    DriverCommand cmd = make_command(code, static_cast<int32_t>(args.size()), args);
    if (channel.send_driver_command(cmd) != 0) return -1;
    if (word) *word = cmd.words[0];
    return 0;
}

// Word 0 of command `code`, or -1 when the request failed.
int32_t result_word(DriverChannel& channel, int32_t code, std::initializer_list<int32_t> args) {
    int32_t word = 0;
    return run(channel, code, args, &word) == 0 ? word : -1;
}

}  // namespace

int DriverChannel::read_driver_version(int32_t* major, int32_t* minor, int32_t* sub) {
    // The version command carries an argument count of 4 with no meaningful arguments.
    DriverCommand cmd = make_command(kCmdDriverVersion, 4, {});
    if (send_driver_command(cmd) != 0) return -1;
    *major = cmd.words[0];
    *minor = cmd.words[1];
    *sub = cmd.words[2];
    return 0;
}

int32_t DriverChannel::read_board_count() { return result_word(*this, kCmdBoardCount, {}); }

int32_t DriverChannel::read_board_mix_status() {
    return result_word(*this, kCmdBoardMixStatus, {});
}

int DriverChannel::read_board_info(int32_t board, int8_t* axes, int8_t* type) {
    DriverCommand cmd = make_command(kCmdBoardInfo, 1, {board});
    if (send_driver_command(cmd) != 0) return -1;
    *axes = static_cast<int8_t>(cmd.words[1] & 0xFF);
    *type = static_cast<int8_t>(cmd.words[0] & 0xFF);
    return 0;
}

int32_t DriverChannel::start_board_init() { return result_word(*this, kCmdStartBoardInit, {}); }

int DriverChannel::read_axis_reg(int32_t axis, int32_t reg, int32_t* value) {
    return run(*this, kCmdReadAxisReg, {axis, reg}, value);
}

int DriverChannel::write_axis_reg(int32_t axis, int32_t reg, int32_t value) {
    return run(*this, kCmdWriteAxisReg, {axis, reg, value});
}

int DriverChannel::read_board_reg(int32_t board, int32_t reg, int32_t* value) {
    return run(*this, kCmdReadBoardReg, {board, reg}, value);
}

int DriverChannel::write_board_reg(int32_t board, int32_t reg, int32_t value) {
    return run(*this, kCmdWriteBoardReg, {board, reg, value});
}

int32_t DriverChannel::sync_motion_serial(MotionBlock& block, int32_t value) {
    block.serial = value;
    return result_word(*this, kCmdSyncSerial, {value});
}

int32_t DriverChannel::read_port(int32_t port) { return result_word(*this, kCmdReadPort, {port}); }

int DriverChannel::write_port(int32_t port, int32_t byte) {
    return run(*this, kCmdWritePort, {port, byte & 0xFF});
}

int DriverChannel::adjust_distance(int32_t axis, int32_t delta) {
    return run(*this, kCmdAdjustDistance, {axis, delta});
}

int DriverChannel::clear_encoder_pos(int32_t axis) { return run(*this, kCmdClearEncoder, {axis}); }

int DriverChannel::read_abs_pos(int32_t axis, int32_t* pos) {
    return run(*this, kCmdReadAbsPos, {axis}, pos);
}

int DriverChannel::read_rel_pos(int32_t axis, int32_t* pos) {
    return run(*this, kCmdReadRelPos, {axis}, pos);
}

int DriverChannel::clear_pos(int32_t axis) { return run(*this, kCmdClearPos, {axis}); }

int32_t DriverChannel::read_cur_dir(int32_t axis) {
    int32_t word = 0;
    return run(*this, kCmdReadCurDir, {axis}, &word) == 0 ? word : -2;
}

int DriverChannel::write_abs_pos(int32_t axis, int32_t pos) {
    return run(*this, kCmdWriteAbsPos, {axis, pos});
}

}  // namespace dravik
