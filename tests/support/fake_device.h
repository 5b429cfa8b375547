// FakeDevice: an in-process stand-in for the board driver that holds boards, axis and board
// registers and positions, answers every driver command the library uses, and records every
// request byte for byte. Library tests hand one to a Library and assert on the recorded traffic.
//
// Fault injection: fail_next(n) makes the next n requests fail (control returns false, as when
// the platform refuses a request); fail_at(i) fails the request with log index i; the motion
// variants answer a MotionBlock with accepted = 0 instead. Walking i over a call's requests
// reaches every failure path of that call.
//
// A driver command the fake does not know, a board info request for a board it does not have, or a
// request of the wrong size fails like a refused request (control returns false).
//
// Thread safety: every member takes the fake's own mutex, so a test thread may change inputs or
// status bits while a library thread (the position monitor) sends requests.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/device.h"
#include "driver/protocol.h"

namespace dravik::test {

// One recorded request: the control code, the bytes that went in, the bytes that came out.
struct Request {
    uint32_t code = 0;
    std::vector<uint8_t> in;
    std::vector<uint8_t> out;
    bool ok = true;  // what control() returned
};

// A driver command as the library sent it: code and its argument words (arg_count of them).
struct Cmd {
    int32_t code = 0;
    std::vector<int32_t> args;
    bool operator==(const Cmd&) const = default;
};
void PrintTo(const Cmd& cmd, std::ostream* os);
std::ostream& operator<<(std::ostream& os, const Cmd& cmd);

// The 48 bytes the library sends for `cmd` (words past the arguments zero).
std::vector<uint8_t> command_bytes(const Cmd& cmd);
// Readable one-line form of a request (decoded command, block or board record, and its bytes).
std::string describe(const Request& request);

class FakeDevice final : public Device {
public:
    // One entry per board: its number of axes.
    explicit FakeDevice(std::vector<int> axes_per_board = {4, 4});

    bool control(uint32_t code, const void* in, uint32_t in_len, void* out,
                 uint32_t out_len) override;

    // ---- What the driver reports ----
    void set_driver_version(int32_t major, int32_t minor, int32_t sub);
    void set_board_count(int32_t word);  // word 0 of the count command (default: boards)
    void set_board_axes(int board, int32_t axes_word);  // word 1 of the board info command
    void set_mix_status(int32_t status);
    void set_start_init_result(int32_t word);
    void set_card_version(int board, uint32_t word);  // board register 508 (default 0x00020200)
    void set_identity(int board, int32_t word);       // board register 500 (default 0xA0+board)

    // ---- Registers and positions ----
    int32_t axis_reg(int axis, int32_t offset) const;  // unknown offsets read 0
    void set_axis_reg(int axis, int32_t offset, int32_t value);
    int32_t board_reg(int board, int32_t offset) const;
    void set_board_reg(int board, int32_t offset, int32_t value);
    void set_status_bits(int axis, uint32_t mask, bool on);  // REG_STATUS bits
    void set_busy(int axis, bool busy);                      // STATUS_BUSY
    int32_t abs_pos(int axis) const;
    void set_abs_pos(int axis, int32_t pos);
    int32_t rel_pos(int axis) const;
    void set_rel_pos(int axis, int32_t pos);
    void set_cur_dir(int axis, int32_t dir);
    int32_t port(int port) const;
    void set_port(int port, int32_t value);
    int32_t serial() const;  // last motion serial number the driver was told

    // ---- Fault injection ----
    void fail_next(int n);           // the next n requests fail
    void fail_at(size_t index);      // the request with this log index fails
    void refuse_motion_next(int n);  // the next n motion blocks are answered accepted = 0
    void refuse_motion_at(size_t index);

    // ---- Recorded traffic (since construction or the last clear) ----
    std::vector<Request> requests() const;
    size_t request_count() const;
    void clear_requests();
    std::vector<Cmd> commands() const;               // driver commands only, in order
    std::vector<MotionBlock> motion_blocks() const;  // motion blocks only, in order
    // Values written to register `offset` of `axis` with command 9, in order.
    std::vector<int32_t> writes_to(int axis, int32_t offset) const;
    size_t count(int32_t command_code) const;
    std::string dump() const;                     // every request, one per line
    std::string describe_at(size_t index) const;  // one request, or "" past the end

private:
    bool answer_command(DriverCommand& cmd);
    bool should_fail(size_t index);

    mutable std::mutex mutex_;
    std::vector<int> axes_;             // axis count per board
    std::map<int, int32_t> axes_word_;  // overrides of the board info word 1
    std::optional<int32_t> board_count_;
    int32_t version_[3] = {3, 0, 0};
    int32_t mix_status_ = 0;
    int32_t start_init_result_ = 0;
    int32_t serial_ = 0;
    std::map<std::pair<int, int32_t>, int32_t> axis_regs_;
    std::map<std::pair<int, int32_t>, int32_t> board_regs_;
    std::map<int, int32_t> abs_pos_, rel_pos_, cur_dir_, ports_;

    int fail_next_ = 0;
    std::set<size_t> fail_at_;
    int refuse_next_ = 0;
    std::set<size_t> refuse_at_;
    std::vector<Request> log_;
};

}  // namespace dravik::test
