#include "axis/config.h"

#include <cstdint>
#include <optional>

#include "axis/registers.h"
#include "core/validation.h"
#include "status/status.h"

namespace dravik {

namespace {

constexpr int32_t kBoardIoPosEnableValueOn = 1;

// Reads register `reg`, sets the bits of `set` and clears those of `clear`; nothing when the read
// fails.
std::optional<uint32_t> read_changed(Library& lib, int ch, int32_t reg, uint32_t set,
                                     uint32_t clear) {
    int32_t value = 0;
    if (lib.driver.read_axis_reg(ch, reg, &value) != 0) return std::nullopt;
    return (static_cast<uint32_t>(value) & ~clear) | set;
}

bool write_value(Library& lib, int ch, int32_t reg, uint32_t value) {
    return lib.driver.write_axis_reg(ch, reg, static_cast<int32_t>(value)) == 0;
}

// Read-modify-write of `bits` of register `reg`: set when `on`, cleared otherwise. REG_MODE
// changes also go to the axis's mode_shadow. 0 or -1.
int modify_bits(Library& lib, int ch, int32_t reg, uint32_t bits, bool on) {
    const auto value = read_changed(lib, ch, reg, on ? bits : 0u, on ? 0u : bits);
    if (!value || !write_value(lib, ch, reg, *value)) return -1;
    if (reg == REG_MODE) lib.axes[ch - 1].mode_shadow = *value;
    return 0;
}

// Validation, then the read-modify-write.
int configure(Library& lib, int ch, int32_t reg, uint32_t bits, bool on) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    return modify_bits(lib, ch, reg, bits, on);
}

// Validation, then a change of an AxisState field.
template <typename Change>
int store(Library& lib, int ch, Change change) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    change(lib.axes[ch - 1]);
    return 0;
}

}  // namespace

int set_outmode(Library& lib, int ch, int mode, int /*outlogic*/) {
    return configure(lib, ch, REG_MODE, MODE_OUTMODE, mode != 1);
}

int set_dir(Library& lib, int ch, int dir) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    if (dir != 1 && dir != -1) {
        lib.report_error(kErrBadParam);
        return -1;
    }
    if (check_done(lib, ch) == 1) {
        lib.report_error(kErrAxisMoving);
        return -1;
    }
    return modify_bits(lib, ch, REG_MODE, MODE_DIR_NEG, dir == -1);
}

int set_home_mode(Library& lib, int ch, int home_mode) {
    return configure(lib, ch, REG_HOME_CONFIG, HOME_MODE_BIT, home_mode != 0);
}

int enable_sd(Library& lib, int ch, int flag) {
    return configure(lib, ch, REG_MODE, MODE_SD_ENABLE, flag != 0);
}

int enable_el(Library& lib, int ch, int flag) {
    if (configure(lib, ch, REG_INPUT_CONFIG, CFG_EL_DISABLE, flag == 0) != 0) return -1;
    lib.axes[ch - 1].el_enabled = flag != 0 ? 1 : 0;
    return 0;
}

int enable_org(Library& lib, int ch, int flag) {
    if (configure(lib, ch, REG_MODE, MODE_ORG_STOP, flag != 0) != 0) return -1;
    lib.axes[ch - 1].org_enabled = flag != 0 ? 1 : 0;
    return 0;
}

int set_sd_logic(Library& lib, int ch, int flag) {
    return configure(lib, ch, REG_INPUT_CONFIG, CFG_SD_LOGIC, flag != 0);
}

int set_el_logic(Library& lib, int ch, int flag) {
    return configure(lib, ch, REG_INPUT_CONFIG, CFG_EL_LOGIC, flag != 0);
}

int set_org_logic(Library& lib, int ch, int flag) {
    return configure(lib, ch, REG_INPUT_CONFIG, CFG_ORG_LOGIC, flag != 0);
}

int set_alm_logic(Library& lib, int ch, int flag) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    int result = 0;
    for (int axis = 1; axis <= lib.boards.total_axes; ++axis)
        if (modify_bits(lib, axis, REG_INPUT_CONFIG, CFG_ALM_LOGIC, flag != 0) != 0) result = -1;
    return result;
}

int set_encoder_mode(Library& lib, int ch, int /*mode*/, int multip, int /*count_unit*/) {
    return configure(lib, ch, REG_INPUT_CONFIG, CFG_ENCODER_X4, multip >= 4);
}

int set_getpos_mode(Library& lib, int ch, int mode) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    const bool on = mode != 0;
    const auto value =
        read_changed(lib, ch, REG_INPUT_CONFIG, on ? CFG_GETPOS_MODE : 0u, on ? 0u : CFG_GETPOS_MODE);
    if (!value) return -1;
    if (reset_pos(lib, ch) == -1) return -1;
    return write_value(lib, ch, REG_INPUT_CONFIG, *value) ? 0 : -1;
}

int set_io_pos(Library& lib, int ch, int open_pos, int close_pos) {
    return store(lib, ch, [&](AxisState& axis) {
        axis.io_open_pos = open_pos;
        axis.io_close_pos = close_pos;
    });
}

int enable_io_pos(Library& lib, int cardno, int flag) {
    if (validate_axis_call(lib, 1) < 0) return -1;
    if (cardno < 1 || cardno > lib.boards.board_count) {
        lib.report_error(kErrBadBoard);
        return -1;
    }
    return lib.driver.write_board_reg(cardno, kBoardIoPosEnable,
                                      flag != 0 ? kBoardIoPosEnableValueOn : 0);
}

int set_backlash(Library& lib, int ch, int backlash) {
    return store(lib, ch, [&](AxisState& axis) { axis.backlash = backlash; });
}

int start_backlash(Library& lib, int ch) {
    return store(lib, ch, [](AxisState& axis) { axis.backlash_state = BACKLASH_ARMED; });
}

int end_backlash(Library& lib, int ch) {
    return store(lib, ch, [](AxisState& axis) { axis.backlash_state = BACKLASH_OFF; });
}

int set_ramp_flag(Library& lib, int flag) {
    if (flag < 0 || flag > 2) return -1;
    lib.settings.ramp_flag = static_cast<uint8_t>(flag);
    return 0;
}

}  // namespace dravik
