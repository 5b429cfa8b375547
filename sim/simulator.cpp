#include "simulator.h"

#include <cstring>

#include "axis/registers.h"
#include "driver.h"

namespace dravik::sim {

namespace {

template <class T>
T load(const uint8_t* p, size_t offset) {
    T value;
    std::memcpy(&value, p + offset, sizeof value);
    return value;
}

template <class T>
void put(std::vector<uint8_t>& out, const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof value);
}

// Writes `bytes` into `out`, cut to the caller's `out_len`.
void answer(std::vector<uint8_t>& out, const void* bytes, size_t size, uint32_t out_len) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    out.assign(p, p + std::min<size_t>(size, out_len));
}

bool set_input_from_request(Machine& m, int32_t axis, int32_t input, int32_t level, int64_t now) {
    if (!m.valid_axis(axis) || input < 0 || input >= kAxisInputCount || level < 0 || level > 3)
        return false;
    const auto which = static_cast<AxisInput>(input);
    if (level <= 1) {
        m.axis(axis).set_input(which, level == 1, now);
    } else {
        m.axis(axis).set_input_active(which, level == 2, now);
    }
    return true;
}

}  // namespace

Simulator::Simulator(const SimConfig& config, SimClock& clock) : clock_(clock), machine_(config) {}

Reply Simulator::handle(Session& session, uint32_t code, const uint8_t* in, uint32_t in_len,
                        uint32_t out_len, std::vector<uint8_t>& out) {
    out.clear();
    std::lock_guard lock(mutex_);
    if (code >= kSimControlBase) return handle_control(code, in, in_len, out_len, out);
    return handle_device(session, code, in, in_len, out_len, out);
}

Reply Simulator::handle_device(Session& session, uint32_t code, const uint8_t* in,
                               uint32_t in_len, uint32_t out_len, std::vector<uint8_t>& out) {
    auto& drop = faults_[static_cast<int>(FaultKind::Drop)];
    auto& fail = faults_[static_cast<int>(FaultKind::Fail)];
    auto& refuse = faults_[static_cast<int>(FaultKind::Refuse)];
    if (drop > 0) {
        --drop;
        return {false, true};
    }
    if (fail > 0) {
        --fail;
        return {false, false};
    }
    const int64_t now = clock_.now_ns();
    switch (code) {
        case kRequestDriverCommand: {
            if (in_len != sizeof(DriverCommand) || out_len != sizeof(DriverCommand)) return {};
            DriverCommand cmd;
            std::memcpy(&cmd, in, sizeof cmd);
            if (!run_driver_command(machine_, cmd, now)) return {};
            answer(out, &cmd, sizeof cmd, out_len);
            return {true, false};
        }
        case kRequestMotionBlock: {
            if (in_len != sizeof(MotionBlock) || out_len != sizeof(uint32_t)) return {};
            MotionBlock block;
            std::memcpy(&block, in, sizeof block);
            uint32_t accepted = 0;
            if (refuse > 0) {
                --refuse;
                Machine::refuse(session.group, block.group_remaining);
            } else {
                accepted = machine_.submit(session.group, block, now) ? 1 : 0;
            }
            answer(out, &accepted, sizeof accepted, out_len);
            return {true, false};
        }
        case kRequestBoardRecord: {
            if (in_len != sizeof(int32_t) || out_len != sizeof(BoardRecord)) return {};
            BoardRecord record;
            if (!fill_board_record(machine_, load<int32_t>(in, 0), record)) return {};
            answer(out, &record, sizeof record, out_len);
            return {true, false};
        }
        default: return {};
    }
}

Reply Simulator::handle_control(uint32_t code, const uint8_t* in, uint32_t in_len,
                                uint32_t out_len, std::vector<uint8_t>& out) {
    const int64_t now = clock_.now_ns();
    switch (code) {
        case kCtlSetAxisInput:
            if (in_len != 12) return {};
            return {set_input_from_request(machine_, load<int32_t>(in, 0), load<int32_t>(in, 4),
                                           load<int32_t>(in, 8), now)};
        case kCtlSetBoardInputs:
        case kCtlSetBoardSfr: {
            const uint32_t expected = code == kCtlSetBoardInputs ? 12 : 8;
            if (in_len != expected) return {};
            const auto board = load<int32_t>(in, 0);
            if (!machine_.valid_board(board)) return {};
            Board& b = machine_.board(board);
            if (code == kCtlSetBoardSfr) {
                b.sfr = load<uint32_t>(in, 4);
            } else {
                const auto mask = load<uint32_t>(in, 4) & 0xFFFF;
                b.inputs = (b.inputs & ~mask) | (load<uint32_t>(in, 8) & mask);
            }
            return {true};
        }
        case kCtlSetBoardCount: {
            if (in_len != 4) return {};
            const auto count = load<int32_t>(in, 0);
            if (count < -1) return {};
            machine_.set_board_count_override(count);
            return {true};
        }
        case kCtlInjectFault: {
            if (in_len != 8) return {};
            const auto kind = load<int32_t>(in, 0);
            const auto count = load<int32_t>(in, 4);
            if (kind < 0 || kind > 2 || count < 0) return {};
            faults_[kind] = count;
            return {true};
        }
        case kCtlClockFreeze:
        case kCtlClockResume:
            if (in_len != 0) return {};
            code == kCtlClockFreeze ? clock_.freeze() : clock_.resume();
            return {true};
        case kCtlClockAdvance: {
            if (in_len != 8) return {};
            const auto ns = load<int64_t>(in, 0);
            if (ns < 0) return {};
            clock_.advance(ns);
            return {true};
        }
        case kCtlAxisState:
        case kCtlBoardState: {
            if (in_len != 0) return {};
            std::vector<uint8_t> bytes;
            if (code == kCtlAxisState) {
                const auto axes = axis_snapshots_locked();
                put(bytes, static_cast<uint32_t>(axes.size()));
                for (const auto& a : axes) put(bytes, a);
            } else {
                const auto boards = board_snapshots_locked();
                put(bytes, static_cast<uint32_t>(boards.size()));
                for (const auto& b : boards) put(bytes, b);
            }
            answer(out, bytes.data(), bytes.size(), out_len);
            return {true};
        }
        default: return {};
    }
}

std::vector<AxisSnapshot> Simulator::axis_snapshots() {
    std::lock_guard lock(mutex_);
    return axis_snapshots_locked();
}

std::vector<BoardSnapshot> Simulator::board_snapshots() {
    std::lock_guard lock(mutex_);
    return board_snapshots_locked();
}

std::vector<AxisSnapshot> Simulator::axis_snapshots_locked() {
    const int64_t now = clock_.now_ns();
    std::vector<AxisSnapshot> result;
    for (int n = 1; n <= machine_.axis_count(); ++n) {
        Axis& a = machine_.axis(n);
        AxisSnapshot s{};
        s.axis = n;
        s.board = machine_.board_of_axis(n);
        s.abs_pos = a.abs_pos(now);
        s.rel_pos = a.rel_pos(now);
        s.encoder = a.encoder(now);
        s.remaining = static_cast<int32_t>(a.read_reg(REG_REMAINING, now));
        s.status = a.status(now);
        s.mode = a.read_reg(REG_MODE, now);
        s.input_config = a.read_reg(REG_INPUT_CONFIG, now);
        for (int i = 0; i < kAxisInputCount; ++i) {
            if (a.input_level(static_cast<AxisInput>(i))) s.input_levels |= 1u << i;
        }
        s.speed = a.speed(now);
        s.clock_ns = now;
        s.direction = a.direction(now);
        result.push_back(s);
    }
    return result;
}

std::vector<BoardSnapshot> Simulator::board_snapshots_locked() {
    std::vector<BoardSnapshot> result;
    for (int n = 1; n <= machine_.board_count(); ++n) {
        const Board& b = machine_.board(n);
        result.push_back({n, machine_.config().axes_per_board[static_cast<size_t>(n - 1)],
                          b.inputs, b.outputs, b.sfr, b.io_pos_enable});
    }
    return result;
}

}  // namespace dravik::sim
