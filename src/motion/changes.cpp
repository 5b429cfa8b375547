#include "motion/changes.h"

#include <cmath>
#include <limits>
#include <optional>

#include "axis/registers.h"
#include "core/board.h"
#include "core/validation.h"
#include "core/versions.h"
#include "motion/moves.h"
#include "motion/speed.h"
#include "motion/stops.h"
#include "status/status.h"

namespace dravik {

namespace {

std::optional<int32_t> narrow(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(v);
}

MoveRecord* record_of(Library& lib, int ch) {
    if (ch < 1 || static_cast<size_t>(ch) > lib.moves.size()) return nullptr;
    return &lib.moves[ch - 1];
}

// The board of the axis must be version 2.2 or later to change a move's distance.
bool board_can_change_distance(Library& lib, int ch) {
    const int board = board_of_axis(lib, ch);
    if (board < 1) return false;
    int32_t type = 0, major = 0, minor1 = 0, minor2 = 0;
    if (get_card_ver(lib, board, &type, &major, &minor1, &minor2) != 0) return false;
    return major > 2 || (major == 2 && minor1 >= 2);
}

void stop_for_change(Library& lib, int ch, const MoveRecord& record) {
    if (record.move_mode == 0) sudden_stop(lib, ch);
    else decel_stop(lib, ch);
}

// Applies the new target: in place when the axis has not reached it, else stop and hand-over.
int request_change(Library& lib, int ch, int32_t pos) {
    int32_t cur = 0;
    if (lib.driver.read_rel_pos(ch, &cur) != 0) return -1;
    MoveRecord& record = lib.moves[ch - 1];
    const int64_t commanded = record.commanded_distance;
    const bool positive = commanded > 0;
    const bool not_reached = positive ? pos > cur : pos < cur;

    if (not_reached) {
        // Change of the move's magnitude: positive lengthens, negative shortens.
        const auto delta = narrow(positive ? pos - commanded : commanded - pos);
        if (!delta) return -1;
        record.new_target = pos;
        record.change_pending = 0;
        if (lib.driver.write_axis_reg(ch, REG_DISTANCE_CHANGE, *delta) != 0) return -1;
        if (lib.driver.adjust_distance(ch, *delta) != 0) return -1;
        record.commanded_distance = pos;
        return 0;
    }

    // Reached or passed: stop, and let the polling thread move back once the axis is at rest.
    record.new_target = pos;
    record.change_pending = 1;
    stop_for_change(lib, ch, record);
    if (!lib.monitor.start(lib)) {
        lib.moves[ch - 1].change_pending = 0;
        return -1;
    }
    return 0;
}

}  // namespace

int change_pos(Library& lib, int ch, int32_t pos) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    if (check_done(lib, ch) == 0) return -1;
    const MoveRecord* record = record_of(lib, ch);
    if (record == nullptr || record->commanded_distance == 0) return -1;
    if (!board_can_change_distance(lib, ch)) return -1;
    int32_t config = 0;
    if (lib.driver.read_axis_reg(ch, REG_INPUT_CONFIG, &config) != 0) return -1;
    lib.driver.write_axis_reg(ch, REG_INPUT_CONFIG,
                              static_cast<int32_t>(static_cast<uint32_t>(config) | CFG_CHANGE_POS));
    return request_change(lib, ch, pos);
}

PassResult poll_pass(Library& lib) {
    bool any = false;
    bool progressed = false;
    for (size_t i = 0; i < lib.moves.size(); ++i) {
        if (lib.moves[i].change_pending == 0) continue;
        any = true;
        const int ch = static_cast<int>(i + 1);
        int32_t status = 0;
        if (lib.driver.read_axis_reg(ch, REG_STATUS, &status) != 0) continue;
        if ((static_cast<uint32_t>(status) & STATUS_BUSY) != 0) continue;
        int32_t remaining = 0;
        if (lib.driver.read_axis_reg(ch, REG_REMAINING, &remaining) != 0) continue;

        const MoveRecord record = lib.moves[i];
        const int64_t commanded = record.commanded_distance;
        std::optional<int32_t> way;
        // The axis stopped at commanded - r (commanded + r for a negative move).
        if (commanded > 0) way = narrow(remaining + int64_t{record.new_target} - commanded);
        else if (commanded < 0) way = narrow(int64_t{record.new_target} - remaining - commanded);
        if (way) {
            if (record.move_mode == 0) con_pmove(lib, ch, *way);
            else fast_pmove(lib, ch, *way);
            lib.moves[i].commanded_distance = record.new_target;
        }
        lib.moves[i].change_pending = 0;
        progressed = true;
    }
    if (!any) return PassResult::nothing_pending;
    return progressed ? PassResult::progressed : PassResult::waiting;
}

int change_speed(Library& lib, int ch, double speed) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    if (std::isnan(speed)) {
        lib.report_error(kErrBadSpeed);
        return -1;
    }
    int32_t mode = 0, status = 0;
    if (lib.driver.read_axis_reg(ch, REG_MODE, &mode) != 0) return -1;
    if (lib.driver.read_axis_reg(ch, REG_STATUS, &status) != 0) return -1;
    if ((static_cast<uint32_t>(status) & STATUS_BUSY) == 0) return 0;
    if ((static_cast<uint32_t>(mode) & MODE_RAMP) == 0) {
        lib.report_error(kErrBadAxis);
        return -1;
    }
    const int32_t value = half_up_limited(std::fabs(speed) / lib.axes[ch - 1].rate, 1, 8191);
    return lib.driver.write_axis_reg(ch, REG_SPEED_CHANGE, value) == 0 ? 0 : -1;
}

int change_accel(Library& lib, int ch, double accel) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    if (std::isnan(accel)) {
        lib.report_error(kErrBadSpeed);
        return -1;
    }
    AxisState& axis = lib.axes[ch - 1];
    const double a = std::fabs(accel);
    axis.accel = a;
    axis.decel = a;
    const double limited = a < 0.02 ? 0.02 : a;
    const int32_t value = half_up_limited(kAccelTimeBase / limited * axis.rate, 2, 65535);
    const int accel_written = lib.driver.write_axis_reg(ch, REG_ACCEL_CHANGE, value);
    const int decel_written = lib.driver.write_axis_reg(ch, REG_DECEL_CHANGE, value);
    return accel_written == 0 && decel_written == 0 ? 0 : -1;
}

}  // namespace dravik
