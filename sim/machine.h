// The simulated boards and their axes: board registers, ports, the motion serial number and the
// start of moves from MotionBlocks, including grouped starts. Not thread-safe: the Simulator
// serialises every access.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "axis.h"
#include "config.h"
#include "driver/protocol.h"

namespace dravik::sim {

struct Board {
    uint32_t inputs = 0xFFFF;  // levels of the 16 inputs; they idle high (no input active)
    uint32_t outputs = 0;
    uint32_t sfr = 0;
    uint32_t io_pos_enable = 0;
    std::map<int32_t, uint32_t> other;  // any other register offset, plain storage
};

// Blocks of one multi-axis group still being collected, per device connection: a group starts
// when its block with group_remaining 1 arrives.
struct GroupState {
    std::vector<std::pair<int, MoveRequest>> pending;  // axis number, move
    int expected = 0;     // group_remaining the next block must carry; 0 = no group open
    bool broken = false;  // a block of this group was refused: the rest are refused too
};

class Machine {
public:
    explicit Machine(const SimConfig& config);

    const SimConfig& config() const { return config_; }
    void set_board_count_override(int32_t count) { config_.board_count_override = count; }
    int board_count() const { return static_cast<int>(boards_.size()); }
    int axis_count() const { return static_cast<int>(axes_.size()); }
    bool valid_axis(int32_t axis) const { return axis >= 1 && axis <= axis_count(); }
    bool valid_board(int32_t board) const { return board >= 1 && board <= board_count(); }
    Axis& axis(int32_t n) { return axes_[static_cast<size_t>(n - 1)]; }
    Board& board(int32_t n) { return boards_[static_cast<size_t>(n - 1)]; }
    int board_of_axis(int32_t axis) const;

    // Board registers: false for an offset that is not a register (negative, unaligned, > 1020).
    bool read_board_reg(int32_t board, int32_t offset, uint32_t& value) const;
    bool write_board_reg(int32_t board, int32_t offset, uint32_t value);

    // Ports 0..0xFFFF hold one byte each (0 until written); other port numbers are refused.
    bool read_port(int32_t port, int32_t& value) const;
    bool write_port(int32_t port, int32_t byte);

    void set_serial(int32_t serial) { serial_ = serial; }
    int32_t serial() const { return serial_; }

    // Takes one MotionBlock at `now_ns`; true when accepted. Refused: a malformed block (axis,
    // block type, distance, speed, acceleration or divider out of range, run field not "run",
    // group_remaining 0), an axis that is moving or already in the open group, and a block that
    // does not continue the open group's countdown. A group starts whole or not at all: once a
    // block of it is refused, its pending blocks are dropped and its later blocks refused.
    bool submit(GroupState& group, const MotionBlock& block, int64_t now_ns);

    // Book-keeping of a block refused before it was looked at (an injected refusal): the group
    // it belongs to is broken exactly as when submit() refuses it.
    static void refuse(GroupState& group, int group_remaining);

    // Describes the block as the board would run it; false when it is malformed.
    static bool decode_block(const MotionBlock& block, MoveRequest& move);

private:
    SimConfig config_;
    std::vector<Board> boards_;
    std::vector<Axis> axes_;
    std::map<int32_t, uint8_t> ports_;
    int32_t serial_ = 0;
};

}  // namespace dravik::sim
