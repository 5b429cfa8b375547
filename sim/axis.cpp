#include "axis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "axis/registers.h"

namespace dravik::sim {

namespace {

constexpr double kAccelTimeBase = 33000000.0;  // acceleration registers count in this time base
constexpr int32_t kSpeedRegMax = 8191;
constexpr int32_t kAccelRegMin = 2;
constexpr int32_t kAccelRegMax = 65535;
// Disables the limit stop of one direction each; the library sets or clears both together.
constexpr uint32_t kPosLimitDisable = 1u << 21;
constexpr uint32_t kNegLimitDisable = 1u << 22;

// 64-bit counter value as the 32-bit register that reports it (wraps like a board counter).
int32_t counter32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace

Axis::Axis() {
    reg(REG_MODE) = MODE_DEFAULT;
}

double Axis::seconds_since_plan(int64_t now_ns) const {
    return static_cast<double>(now_ns - plan_start_ns_) * 1e-9;
}

double Axis::position(int64_t now_ns) const {
    return plan_start_pos_ + plan_.distance_at(seconds_since_plan(now_ns));
}

int64_t Axis::pulses_at(int64_t now_ns) const {
    if (seconds_since_plan(now_ns) >= plan_.duration()) return stop_at_;
    // A small tolerance so that a profile meeting a whole pulse exactly counts it.
    const double p = std::floor(position(now_ns) + 1e-9);
    return std::clamp(static_cast<int64_t>(std::max(p, 0.0)), committed_, stop_at_);
}

int Axis::encoder_factor() const { return (reg(REG_INPUT_CONFIG) & CFG_ENCODER_X4) ? 4 : 1; }

void Axis::commit(int64_t pulses) {
    const int64_t delta = pulses - committed_;
    abs_ += dir_ * delta;
    rel_ += dir_ * delta;
    encoder_ += static_cast<int64_t>(dir_) * delta * encoder_factor();
    committed_ = pulses;
    reg(REG_REMAINING) = static_cast<uint32_t>(std::clamp<int64_t>(target_ - pulses, 0, INT32_MAX));
}

void Axis::finish(int64_t pulses) {
    commit(pulses);
    moving_ = false;
    stopping_ = false;
    slowed_ = false;
}

void Axis::sync(int64_t now_ns) {
    if (!moving_) return;
    if (seconds_since_plan(now_ns) >= plan_.duration()) {
        finish(stop_at_);
    } else {
        commit(pulses_at(now_ns));
    }
}

void Axis::replan(int64_t now_ns, double v0) {
    const double pos = now_ns == plan_start_ns_ ? plan_start_pos_ : position(now_ns);
    const double remaining = std::max(0.0, static_cast<double>(stop_at_) - pos);
    if (move_.block_type == kBlockRamped) {
        const double top = stopping_ ? std::min(v0, v_high_) : (slowed_ ? v_low_ : v_high_);
        plan_ = Profile::ramped(v0, remaining, top, v_low_, accel_, decel_);
    } else {
        plan_ = Profile::constant(v_high_, remaining);
    }
    plan_start_pos_ = pos;
    plan_start_ns_ = now_ns;
}

void Axis::start(const MoveRequest& move, int64_t now_ns) {
    move_ = move;
    reg(REG_MODE) = move.mode_image;
    dir_ = (move.mode_image & MODE_DIR_NEG) ? -1 : 1;
    moving_ = true;
    stopping_ = false;
    slowed_ = false;
    committed_ = 0;
    rel_ = 0;  // the relative position counts from the start of each move
    target_ = move.distance;
    stop_at_ = move.distance;
    if (move.block_type == kBlockRamped) {
        v_low_ = move.low_reg * move.rate;
        v_high_ = move.high_reg * move.rate;
        accel_ = kAccelTimeBase * move.rate / move.accel_reg;
        decel_ = kAccelTimeBase * move.rate / move.decel_reg;
    } else {
        v_low_ = v_high_ = move.speed_reg * move.rate;
    }
    reg(REG_REMAINING) = static_cast<uint32_t>(target_);
    plan_start_pos_ = 0.0;
    plan_start_ns_ = now_ns;
    // A ramped move starts at the low speed (the board jumps to it), unless the slow-down input
    // already holds it there.
    replan(now_ns, v_low_);
    apply_inputs(now_ns);
    sync(now_ns);
}

void Axis::stop(StopKind kind, int64_t now_ns) {
    if (!moving_) return;
    if (kind == StopKind::Immediate || move_.block_type != kBlockRamped) {
        // Constant-speed moves have no ramp in force: every stop of them is immediate.
        const int64_t p = pulses_at(now_ns);
        stop_at_ = p;
        finish(p);
        return;
    }
    if (stopping_) return;
    const double v = plan_.speed_at(seconds_since_plan(now_ns));
    const double brake = v > v_low_ ? (v * v - v_low_ * v_low_) / (2.0 * decel_) : 0.0;
    const double end = std::ceil(position(now_ns) + brake - 1e-9);
    stop_at_ = std::clamp(static_cast<int64_t>(end), committed_, stop_at_);
    stopping_ = true;
    replan(now_ns, v);
    sync(now_ns);
}

bool Axis::active_high(AxisInput input) const {
    const uint32_t cfg = reg(REG_INPUT_CONFIG);
    switch (input) {
        case AxisInput::PosLimit:
        case AxisInput::NegLimit: return cfg & CFG_EL_LOGIC;
        case AxisInput::Org: return cfg & CFG_ORG_LOGIC;
        case AxisInput::SlowDown: return cfg & CFG_SD_LOGIC;
        case AxisInput::Alarm: return cfg & CFG_ALM_LOGIC;
    }
    return false;
}

bool Axis::input_active(AxisInput input) const {
    return levels_[static_cast<int>(input)] == active_high(input);
}

void Axis::apply_inputs(int64_t now_ns) {
    if (!moving_) return;
    const uint32_t cfg = reg(REG_INPUT_CONFIG);
    const uint32_t mode = reg(REG_MODE);
    if (input_active(AxisInput::Alarm)) return stop(StopKind::Immediate, now_ns);
    if (dir_ > 0 && input_active(AxisInput::PosLimit) && !(cfg & kPosLimitDisable))
        return stop(StopKind::Immediate, now_ns);
    if (dir_ < 0 && input_active(AxisInput::NegLimit) && !(cfg & kNegLimitDisable))
        return stop(StopKind::Immediate, now_ns);
    if ((mode & MODE_ORG_STOP) && input_active(AxisInput::Org)) {
        const bool decelerate = reg(REG_HOME_CONFIG) & HOME_MODE_BIT;
        return stop(decelerate ? StopKind::Decelerate : StopKind::Immediate, now_ns);
    }
    const bool slow = (mode & MODE_SD_ENABLE) && input_active(AxisInput::SlowDown);
    if (move_.block_type == kBlockRamped && !stopping_ && slow != slowed_) {
        const double v = plan_.speed_at(seconds_since_plan(now_ns));
        slowed_ = slow;
        replan(now_ns, v);
    }
}

void Axis::on_mode_write(int64_t now_ns) {
    if (!moving_) return;
    const uint32_t run = reg(REG_MODE) & MODE_RUN;
    if (run == MODE_RUN_STOP) return stop(StopKind::Immediate, now_ns);
    if (run == MODE_RUN_DECEL_STOP) return stop(StopKind::Decelerate, now_ns);
    apply_inputs(now_ns);
}

uint32_t Axis::read_reg(int32_t offset, int64_t now_ns) {
    sync(now_ns);
    switch (offset) {
        case REG_ENCODER: return static_cast<uint32_t>(counter32(encoder_));
        case REG_CURRENT_SPEED: {
            if (!moving_) return 0;
            const double units = std::round(speed(now_ns) / move_.rate);
            return static_cast<uint32_t>(std::clamp(units, 0.0, double(kSpeedRegMax)));
        }
        case REG_STATUS: return status(now_ns);
        default: return reg(offset);
    }
}

void Axis::write_reg(int32_t offset, uint32_t value, int64_t now_ns) {
    sync(now_ns);
    const auto signed_value = static_cast<int32_t>(value);
    switch (offset) {
        case REG_CURRENT_SPEED:
        case REG_STATUS: return;  // read only
        case REG_ENCODER: encoder_ = signed_value; return;
        case REG_SPEED_CHANGE:
            reg(offset) = value;
            if (ramped() && !stopping_ && signed_value >= 1) {
                const double v = speed(now_ns);
                v_high_ = std::min(signed_value, kSpeedRegMax) * move_.rate;
                replan(now_ns, v);
            }
            return;
        case REG_ACCEL_CHANGE:
        case REG_DECEL_CHANGE:
            reg(offset) = value;
            if (ramped() && signed_value >= kAccelRegMin) {
                const double v = speed(now_ns);
                const double a = kAccelTimeBase * move_.rate / std::min(signed_value, kAccelRegMax);
                (offset == REG_ACCEL_CHANGE ? accel_ : decel_) = a;
                replan(now_ns, v);
            }
            return;
        case REG_INPUT_CONFIG:
            reg(offset) = value;
            apply_inputs(now_ns);
            return;
        case REG_MODE:
            reg(offset) = value;
            on_mode_write(now_ns);
            return;
        default: reg(offset) = value; return;
    }
}

int32_t Axis::abs_pos(int64_t now_ns) {
    sync(now_ns);
    // Position source: the encoder counter when CFG_GETPOS_MODE is set, else the command counter.
    return counter32((reg(REG_INPUT_CONFIG) & CFG_GETPOS_MODE) ? encoder_ : abs_);
}

int32_t Axis::rel_pos(int64_t now_ns) {
    sync(now_ns);
    return counter32(rel_);
}

int32_t Axis::encoder(int64_t now_ns) {
    sync(now_ns);
    return counter32(encoder_);
}

int32_t Axis::direction(int64_t now_ns) {
    sync(now_ns);
    if (moving_) return dir_;
    return (reg(REG_MODE) & MODE_DIR_NEG) ? -1 : 1;
}

void Axis::clear_pos(int64_t now_ns) {
    sync(now_ns);
    abs_ = 0;
    rel_ = 0;
}

void Axis::clear_encoder(int64_t now_ns) {
    sync(now_ns);
    encoder_ = 0;
}

void Axis::write_abs_pos(int32_t pos, int64_t now_ns) {
    sync(now_ns);
    abs_ = pos;
}

bool Axis::adjust_distance(int32_t delta, int64_t now_ns) {
    if (!(reg(REG_INPUT_CONFIG) & CFG_CHANGE_POS)) return false;
    sync(now_ns);
    if (!moving_) return true;
    target_ = std::clamp<int64_t>(target_ + delta, 0, INT32_MAX);
    if (stopping_) {
        commit(committed_);  // only the remaining distance changes; the stop goes on
        return true;
    }
    const double v = speed(now_ns);
    if (static_cast<double>(target_) <= position(now_ns)) {
        // The new end lies behind the axis: it cannot go back within this move, so it ends here.
        const int64_t p = pulses_at(now_ns);
        target_ = std::max(target_, p);
        stop_at_ = p;
        finish(p);
        return true;
    }
    stop_at_ = target_;
    replan(now_ns, v);
    commit(committed_);
    return true;
}

void Axis::set_input(AxisInput input, bool high, int64_t now_ns) {
    sync(now_ns);
    levels_[static_cast<int>(input)] = high;
    apply_inputs(now_ns);
}

void Axis::set_input_active(AxisInput input, bool active, int64_t now_ns) {
    set_input(input, active == active_high(input), now_ns);
}

bool Axis::busy(int64_t now_ns) {
    sync(now_ns);
    return moving_;
}

double Axis::speed(int64_t now_ns) {
    sync(now_ns);
    return moving_ ? plan_.speed_at(seconds_since_plan(now_ns)) : 0.0;
}

uint32_t Axis::status(int64_t now_ns) {
    sync(now_ns);
    uint32_t s = 0;
    if (moving_) s |= STATUS_BUSY;
    if (input_active(AxisInput::SlowDown)) s |= STATUS_SD;
    if (input_active(AxisInput::Alarm)) s |= STATUS_ALARM;
    if (input_active(AxisInput::NegLimit)) s |= STATUS_NEG_LIMIT;
    if (input_active(AxisInput::PosLimit)) s |= STATUS_POS_LIMIT;
    if (input_active(AxisInput::Org)) s |= STATUS_HOME;
    return s;
}

}  // namespace dravik::sim
