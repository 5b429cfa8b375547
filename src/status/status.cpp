// Positions, axis status and the command counter. The library keeps no position of its own:
// every query asks the driver or reads the status register afresh.
#include "status/status.h"

#include "axis/registers.h"
#include "core/validation.h"

namespace dravik {
namespace {

// Position reads write their target on every path: the value read, or 0 on failure. A null
// target fails the call (error 0x2000019) before any request is sent. `read(value)` sends the
// request and returns 0 on success.
template <typename Read>
int read_position(Library& lib, int ch, int32_t* out, Read read) {
    if (null_out(lib, out)) return -1;
    int32_t value = 0;
    if (validate_axis_call(lib, ch) < 0 || read(&value) != 0) {
        *out = 0;
        return -1;
    }
    *out = value;
    return 0;
}

// Validates `ch` and reads its status word; false (with the cause reported) on failure.
bool read_status(Library& lib, int ch, uint32_t* status) {
    if (validate_axis_call(lib, ch) < 0) return false;
    int32_t word = 0;
    if (lib.driver.read_axis_reg(ch, REG_STATUS, &word) != 0) return false;
    *status = static_cast<uint32_t>(word);
    return true;
}

// Status bit `mask` of axis `ch` as 1 or 0; `failure` when the status cannot be read.
int status_bit(Library& lib, int ch, uint32_t mask, int failure) {
    uint32_t s = 0;
    if (!read_status(lib, ch, &s)) return failure;
    return (s & mask) ? 1 : 0;
}

// Common frame of set_abs_pos and reset_pos: refuses a moving axis, then sends `request`.
template <typename Request>
int change_position(Library& lib, int ch, Request request) {
    uint32_t s = 0;
    if (!read_status(lib, ch, &s)) return -1;
    if (s & STATUS_BUSY) {
        lib.report_error(kErrAxisMoving);
        return -1;
    }
    return request() == 0 ? 0 : -1;
}

}  // namespace

int get_abs_pos(Library& lib, int ch, int32_t* abs_pos) {
    return read_position(lib, ch, abs_pos,
                         [&](int32_t* v) { return lib.driver.read_abs_pos(ch, v); });
}

int get_rel_pos(Library& lib, int ch, int32_t* rel_pos) {
    return read_position(lib, ch, rel_pos,
                         [&](int32_t* v) { return lib.driver.read_rel_pos(ch, v); });
}

int get_encoder(Library& lib, int ch, int32_t* en_pos) {
    return read_position(lib, ch, en_pos,
                         [&](int32_t* v) { return lib.driver.read_axis_reg(ch, REG_ENCODER, v); });
}

int get_cur_dir(Library& lib, int ch) {
    if (validate_axis_call(lib, ch) < 0) return -2;
    return lib.driver.read_cur_dir(ch);
}

int check_status(Library& lib, int ch) {
    uint32_t s = 0;
    if (!read_status(lib, ch, &s)) return -1;
    return static_cast<int>(s);
}

int check_done(Library& lib, int ch) { return status_bit(lib, ch, STATUS_BUSY, -1); }

int check_limit(Library& lib, int ch) {
    uint32_t s = 0;
    if (!read_status(lib, ch, &s)) return -3;
    const bool neg = s & STATUS_NEG_LIMIT;
    const bool pos = s & STATUS_POS_LIMIT;
    if (neg && pos) return 2;
    if (pos) return 1;
    if (neg) return -1;
    return 0;
}

int check_home(Library& lib, int ch) { return status_bit(lib, ch, STATUS_HOME, -3); }

int check_SD(Library& lib, int ch) { return status_bit(lib, ch, STATUS_SD, -3); }

int check_alarm(Library& lib, int ch) { return status_bit(lib, ch, STATUS_ALARM, -3); }

int set_abs_pos(Library& lib, int ch, int32_t pos) {
    return change_position(lib, ch, [&] { return lib.driver.write_abs_pos(ch, pos); });
}

int reset_pos(Library& lib, int ch) {
    return change_position(lib, ch, [&] { return lib.driver.clear_pos(ch); });
}

int reset_enc_pos(Library& lib, int ch) {
    if (validate_axis_call(lib, ch) < 0) return -1;
    return lib.driver.clear_encoder_pos(ch) == 0 ? 0 : -1;
}

int get_cmd_counter(Library& lib) { return lib.settings.command_counter; }

int set_cmd_counter(Library& lib, int value) {
    lib.settings.command_counter = value;
    return 0;
}

int reset_cmd_counter(Library& lib) {
    lib.settings.command_counter = 0;
    return 0;
}

}  // namespace dravik
