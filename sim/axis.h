// One simulated axis: its register bank, its five inputs, its position counters and the move it
// runs. Positions are never ticked: every access first brings the counters up to the instant
// asked (sync), computing them from the running move's profile.
#pragma once

#include <cstdint>

#include "driver/protocol.h"
#include "motion_profile.h"

namespace dravik::sim {

// The inputs of an axis. Levels are electrical: true = high. An input is active when its level
// matches the active level chosen by its logic bit in REG_INPUT_CONFIG (bit 0: active low, the
// power-on setting; bit 1: active high). Inputs idle high, so they start inactive.
enum class AxisInput : int32_t { PosLimit = 0, NegLimit = 1, Org = 2, SlowDown = 3, Alarm = 4 };
constexpr int kAxisInputCount = 5;

// A move as the board takes it from an accepted MotionBlock, with its speeds already in pulses.
struct MoveRequest {
    int32_t block_type = kBlockConstant;
    int64_t distance = 0;        // magnitude in pulses; kEndlessDistance runs until stopped
    uint32_t mode_image = 0;     // becomes REG_MODE
    double rate = 1007.0;        // pulses/s per speed register count (1007 / rate_divider)
    int32_t speed_reg = 0;       // constant blocks: the selected speed word
    int32_t low_reg = 0;         // ramped blocks
    int32_t high_reg = 0;
    int32_t accel_reg = 0;
    int32_t decel_reg = 0;
};

class Axis {
public:
    Axis();

    // Brings positions and the move up to time `now_ns`; ends the move when its profile has.
    void sync(int64_t now_ns);

    // Starts a move at `now_ns` (the axis must be synced to that instant and at rest). Inputs
    // already active that forbid it end it at once, without a pulse.
    void start(const MoveRequest& move, int64_t now_ns);

    // Register access at `now_ns`. Offsets are checked by the caller (0..60, multiples of 4).
    uint32_t read_reg(int32_t offset, int64_t now_ns);
    void write_reg(int32_t offset, uint32_t value, int64_t now_ns);

    // Driver commands on the axis at `now_ns`.
    int32_t abs_pos(int64_t now_ns);
    int32_t rel_pos(int64_t now_ns);
    int32_t encoder(int64_t now_ns);
    int32_t direction(int64_t now_ns);  // +1 / -1, see docs/simulator.md
    void clear_pos(int64_t now_ns);
    void clear_encoder(int64_t now_ns);
    void write_abs_pos(int32_t pos, int64_t now_ns);
    // Changes the running move's length by `delta` pulses (command 21). False when the change
    // function is not enabled in REG_INPUT_CONFIG; true (nothing to do) when the axis is at rest.
    bool adjust_distance(int32_t delta, int64_t now_ns);

    // Sets the electrical level of an input; `active` picks the level that is active under the
    // current logic. Stops the move when the input now requires it.
    void set_input(AxisInput input, bool high, int64_t now_ns);
    void set_input_active(AxisInput input, bool active, int64_t now_ns);
    bool input_active(AxisInput input) const;
    bool input_level(AxisInput input) const { return levels_[static_cast<int>(input)]; }

    bool busy(int64_t now_ns);
    double speed(int64_t now_ns);  // pulses/s
    uint32_t status(int64_t now_ns);

private:
    enum class StopKind { Immediate, Decelerate };

    uint32_t& reg(int32_t offset) { return regs_[offset / 4]; }
    uint32_t reg(int32_t offset) const { return regs_[offset / 4]; }
    double seconds_since_plan(int64_t now_ns) const;
    int64_t pulses_at(int64_t now_ns) const;  // pulses of the running move emitted by now_ns
    bool active_high(AxisInput input) const;
    int encoder_factor() const;
    void commit(int64_t pulses);
    void finish(int64_t pulses);
    double position(int64_t now_ns) const;    // pulses covered, fractional
    void replan(int64_t now_ns, double v0);
    void stop(StopKind kind, int64_t now_ns);
    void apply_inputs(int64_t now_ns);
    void on_mode_write(int64_t now_ns);
    bool ramped() const { return moving_ && move_.block_type == kBlockRamped; }

    uint32_t regs_[16] = {};
    bool levels_[kAxisInputCount] = {true, true, true, true, true};

    // Position counters, kept as 64-bit and reported modulo 2^32 like 32-bit board counters.
    int64_t abs_ = 0;
    int64_t rel_ = 0;
    int64_t encoder_ = 0;
    int64_t committed_ = 0;  // pulses of the current or last move already added to the counters

    // The running move.
    bool moving_ = false;
    MoveRequest move_{};
    int32_t dir_ = 1;
    int64_t target_ = 0;       // commanded length in pulses (with distance changes)
    int64_t stop_at_ = 0;      // where the move ends (target_, or earlier after a stop)
    bool stopping_ = false;    // a decelerating stop is under way
    bool slowed_ = false;      // the slow-down input holds a ramped move at its low speed
    double v_low_ = 0.0, v_high_ = 0.0, accel_ = 0.0, decel_ = 0.0;  // pulses/s, pulses/s^2
    double plan_start_pos_ = 0.0;  // pulses covered when the current plan started
    int64_t plan_start_ns_ = 0;
    Profile plan_{};
};

}  // namespace dravik::sim
