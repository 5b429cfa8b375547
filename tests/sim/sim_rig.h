// A simulator on a frozen clock, driven through the same request buffers the library sends.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "axis/registers.h"
#include "driver/protocol.h"
#include "simulator.h"

namespace dravik::sim::testing {

constexpr uint32_t kRunMode = MODE_DEFAULT & ~MODE_RUN;  // power-on mode without its run field
constexpr uint32_t kConstantMode = (kRunMode | MODE_RUN_GO | MODE_POSITIONING);
constexpr uint32_t kRampedMode = kConstantMode | MODE_RAMP | MODE_POINT_RAMP | MODE_SPEED_SELECT_0;

inline MotionBlock constant_block(int32_t axis, int32_t distance, int32_t speed_reg,
                                  int32_t divider = 1, uint32_t mode = kConstantMode) {
    MotionBlock b{};
    b.axis = axis;
    b.block_type = kBlockConstant;
    b.speed_select = 1;
    b.distance = distance;
    b.speed_word_1 = speed_reg;
    b.rate_divider = divider;
    b.mode_image = mode;
    b.group_remaining = 1;
    return b;
}

inline MotionBlock ramped_block(int32_t axis, int32_t distance, int32_t low, int32_t high,
                                int32_t accel, int32_t divider = 1, uint32_t mode = kRampedMode) {
    MotionBlock b{};
    b.axis = axis;
    b.block_type = kBlockRamped;
    b.distance = distance;
    b.speed_word_1 = low;
    b.speed_word_2 = high;
    b.speed_word_3 = high;
    b.accel_word = accel;
    b.decel_word = accel;
    b.rate_divider = divider;
    b.mode_image = mode;
    b.group_remaining = 1;
    return b;
}

// Pulses per second of a speed register, pulses per second squared of an acceleration register.
inline double speed_of(int32_t reg, int32_t divider) { return reg * 1007.0 / divider; }
inline double accel_of(int32_t reg, int32_t divider) { return 33e6 * (1007.0 / divider) / reg; }

class SimRig {
public:
    explicit SimRig(const SimConfig& config = SimConfig{})
        : clock(SimClock::Start::Frozen), sim(config, clock) {}

    Reply request(uint32_t code, const void* in, uint32_t in_len, uint32_t out_len,
                  std::vector<uint8_t>& out) {
        return sim.handle(session, code, static_cast<const uint8_t*>(in), in_len, out_len, out);
    }

    // Sends a DriverCommand; true when the driver carried it out. Results in `result`.
    bool command(int32_t code, std::initializer_list<int32_t> args, DriverCommand* result = nullptr,
                 int32_t arg_count = -1) {
        DriverCommand cmd{};
        cmd.command = code;
        cmd.arg_count = arg_count >= 0 ? arg_count : static_cast<int32_t>(args.size());
        int i = 0;
        for (int32_t a : args) cmd.words[i++] = a;
        std::vector<uint8_t> out;
        const Reply r = request(kRequestDriverCommand, &cmd, sizeof cmd, sizeof cmd, out);
        if (r.ok && result != nullptr) {
            EXPECT_EQ(out.size(), sizeof cmd);
            std::memcpy(result, out.data(), sizeof cmd);
        }
        return r.ok;
    }

    int32_t word0(int32_t code, std::initializer_list<int32_t> args) {
        DriverCommand r{};
        EXPECT_TRUE(command(code, args, &r)) << "command " << code;
        return r.words[0];
    }

    int32_t read_reg(int32_t axis, int32_t offset) { return word0(kCmdReadAxisReg, {axis, offset}); }
    void write_reg(int32_t axis, int32_t offset, uint32_t value) {
        EXPECT_TRUE(command(kCmdWriteAxisReg, {axis, offset, static_cast<int32_t>(value)}));
    }
    uint32_t status(int32_t axis) { return static_cast<uint32_t>(read_reg(axis, REG_STATUS)); }
    bool busy(int32_t axis) { return status(axis) & STATUS_BUSY; }
    int32_t abs_pos(int32_t axis) { return word0(kCmdReadAbsPos, {axis}); }
    int32_t rel_pos(int32_t axis) { return word0(kCmdReadRelPos, {axis}); }
    int32_t remaining(int32_t axis) { return read_reg(axis, REG_REMAINING); }

    // Sends a MotionBlock; true when the driver accepted it.
    bool move(const MotionBlock& block) {
        std::vector<uint8_t> out;
        const Reply r = request(kRequestMotionBlock, &block, sizeof block, 4, out);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(out.size(), 4u);
        uint32_t accepted = 0;
        if (out.size() == 4) std::memcpy(&accepted, out.data(), 4);
        return accepted != 0;
    }

    void advance(double seconds) { clock.advance(static_cast<int64_t>(std::llround(seconds * 1e9))); }

    // Runs the clock in steps of `step` seconds until the axis is at rest; returns the seconds it
    // took (to within one step), or -1 when it still moves after `limit` seconds.
    double run_until_idle(int32_t axis, double step, double limit) {
        for (double t = 0.0; t <= limit; t += step) {
            if (!busy(axis)) return t;
            advance(step);
        }
        return -1.0;
    }

    SimClock clock;
    Simulator sim;
    Session session;
};

}  // namespace dravik::sim::testing
