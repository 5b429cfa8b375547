#include "machine.h"

#include <algorithm>

#include "axis/registers.h"

namespace dravik::sim {

namespace {
constexpr int32_t kSpeedUnitBase = 1007;
constexpr int32_t kMaxRateDivider = 100700;  // the speed unit at the lowest maximum speed
constexpr int32_t kLastBoardRegister = 1020;
constexpr int32_t kLastPort = 0xFFFF;

bool in_range(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }
}  // namespace

Machine::Machine(const SimConfig& config)
    : config_(config), boards_(config.axes_per_board.size()),
      axes_(static_cast<size_t>(config.total_axes())) {}

int Machine::board_of_axis(int32_t axis) const {
    int first = 1;
    for (int b = 0; b < board_count(); ++b) {
        const int axes = config_.axes_per_board[static_cast<size_t>(b)];
        if (axis < first + axes) return b + 1;
        first += axes;
    }
    return 0;
}

bool Machine::read_board_reg(int32_t board, int32_t offset, uint32_t& value) const {
    if (!in_range(offset, 0, kLastBoardRegister) || offset % 4 != 0) return false;
    const Board& b = boards_[static_cast<size_t>(board - 1)];
    switch (offset) {
        case kBoardInputs: value = b.inputs; return true;
        case kBoardOutputs: value = b.outputs; return true;
        case kBoardSfr: value = b.sfr; return true;
        case kBoardIoPosEnable: value = b.io_pos_enable; return true;
        case kBoardIdentity: value = config_.identity_of(board); return true;
        case kBoardVersion: value = config_.card_version; return true;
        default: {
            const auto it = b.other.find(offset);
            value = it == b.other.end() ? 0 : it->second;
            return true;
        }
    }
}

bool Machine::write_board_reg(int32_t board, int32_t offset, uint32_t value) {
    if (!in_range(offset, 0, kLastBoardRegister) || offset % 4 != 0) return false;
    Board& b = boards_[static_cast<size_t>(board - 1)];
    switch (offset) {
        case kBoardInputs:
        case kBoardIdentity:
        case kBoardVersion: return true;  // read-only words: the write is taken and has no effect
        case kBoardOutputs: b.outputs = value; return true;
        case kBoardSfr: b.sfr = value; return true;
        case kBoardIoPosEnable: b.io_pos_enable = value; return true;
        default: b.other[offset] = value; return true;
    }
}

bool Machine::read_port(int32_t port, int32_t& value) const {
    if (!in_range(port, 0, kLastPort)) return false;
    const auto it = ports_.find(port);
    value = it == ports_.end() ? 0 : it->second;
    return true;
}

bool Machine::write_port(int32_t port, int32_t byte) {
    if (!in_range(port, 0, kLastPort)) return false;
    ports_[port] = static_cast<uint8_t>(byte & 0xFF);
    return true;
}

bool Machine::decode_block(const MotionBlock& block, MoveRequest& move) {
    if (block.distance < 0 || block.group_remaining == 0) return false;
    if (!in_range(block.rate_divider, 1, kMaxRateDivider)) return false;
    if ((block.mode_image & MODE_RUN) != MODE_RUN_GO) return false;
    move = MoveRequest{};
    move.block_type = block.block_type;
    move.distance = block.distance;
    move.mode_image = block.mode_image;
    move.rate = static_cast<double>(kSpeedUnitBase) / block.rate_divider;
    const int32_t words[3] = {block.speed_word_1, block.speed_word_2, block.speed_word_3};
    if (block.block_type == kBlockConstant) {
        if (!in_range(block.speed_select, 1, 3)) return false;
        move.speed_reg = words[block.speed_select - 1];
        return in_range(move.speed_reg, 1, 8191);
    }
    if (block.block_type != kBlockRamped) return false;
    for (int32_t w : words) {
        if (!in_range(w, 1, 8191)) return false;
    }
    if (!in_range(block.accel_word, 2, 65535) || !in_range(block.decel_word, 2, 65535))
        return false;
    move.low_reg = block.speed_word_1;
    move.high_reg = block.speed_word_2;
    move.accel_reg = block.accel_word;
    move.decel_reg = block.decel_word;
    return true;
}

void Machine::refuse(GroupState& group, int group_remaining) {
    if (group.expected != 0 && group_remaining != group.expected) {
        group = GroupState{};  // out of sequence: the open group can no longer be completed
        return;
    }
    if (group.broken) {
        group.expected = group_remaining - 1;  // count the broken group's blocks down
        if (group.expected <= 0) group = GroupState{};
        return;
    }
    group = GroupState{};
    if (group_remaining > 1) {
        group.broken = true;
        group.expected = group_remaining - 1;
    }
}

bool Machine::submit(GroupState& group, const MotionBlock& block, int64_t now_ns) {
    const int n = block.group_remaining;
    if (group.broken || (group.expected != 0 && n != group.expected)) {
        refuse(group, n);
        return false;
    }
    MoveRequest move;
    const bool in_group = std::any_of(group.pending.begin(), group.pending.end(),
                                      [&](const auto& p) { return p.first == block.axis; });
    const bool ok = valid_axis(block.axis) && decode_block(block, move) && !in_group &&
                    !axis(block.axis).busy(now_ns);
    if (!ok) {
        refuse(group, n);
        return false;
    }
    group.pending.emplace_back(block.axis, move);
    if (n > 1) {
        group.expected = n - 1;
        return true;
    }
    // Last block: every axis of the group starts at this same instant, or none does.
    auto pending = std::move(group.pending);
    group = GroupState{};
    for (auto& [ch, m] : pending) {
        if (axis(ch).busy(now_ns)) return false;
    }
    for (auto& [ch, m] : pending) axis(ch).start(m, now_ns);
    return true;
}

}  // namespace dravik::sim
