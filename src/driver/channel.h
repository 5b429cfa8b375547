// The driver channel: the three senders and the typed DriverCommand wrappers. This is the only
// place that talks to the Device; every failure of a request is reported here, once, through the
// ErrorSink (LastError + error record), and the wrappers add no report of their own.
#pragma once

#include <cstdint>
#include <memory>

#include "driver/device.h"
#include "driver/protocol.h"

namespace dravik {

// Where the channel reports a failed request: sets LastError and records it.
class ErrorSink {
public:
    virtual void report_error(int32_t code) = 0;

protected:
    ~ErrorSink() = default;
};

// Error codes raised by the channel.
constexpr int32_t kErrNoDevice = 5;               // no driver device is open
constexpr int32_t kErrRequestFailed = 6;          // the platform refused a request
constexpr int32_t kErrMotionRefused = 0x30000000; // the driver refused a motion block

class DriverChannel {
public:
    // `device` may be null: every request then fails with kErrNoDevice.
    DriverChannel(std::unique_ptr<Device> device, ErrorSink& sink);

    bool is_open() const { return device_ != nullptr; }
    void close();  // releases the device; later requests fail with kErrNoDevice

    // Senders. 0 on success; -1 no device (5); -2 request failed (6); -3 motion block refused.
    int send_driver_command(DriverCommand& cmd);
    int send_motion_block(const MotionBlock& block);
    int board_db_info(int32_t board, BoardRecord* record);

    // Typed wrappers (one DriverCommand each). Out values are written only on success.
    int read_driver_version(int32_t* major, int32_t* minor, int32_t* sub);  // 0 / -1
    int32_t read_board_count();                                             // word 0 / -1
    int32_t read_board_mix_status();                                        // word 0 / -1
    int read_board_info(int32_t board, int8_t* axes, int8_t* type);         // 0 / -1
    int32_t start_board_init();                                             // word 0 / -1
    int read_axis_reg(int32_t axis, int32_t reg, int32_t* value);           // 0 / -1
    int write_axis_reg(int32_t axis, int32_t reg, int32_t value);           // 0 / -1
    int read_board_reg(int32_t board, int32_t reg, int32_t* value);         // 0 / -1
    int write_board_reg(int32_t board, int32_t reg, int32_t value);         // 0 / -1
    // Stores `value` in block.serial first, then tells the driver; word 0 / -1.
    int32_t sync_motion_serial(MotionBlock& block, int32_t value);
    int32_t read_port(int32_t port);                                        // word 0 / -1
    int write_port(int32_t port, int32_t byte);                             // 0 / -1 (byte & 0xFF)
    int adjust_distance(int32_t axis, int32_t delta);                       // 0 / -1
    int clear_encoder_pos(int32_t axis);                                    // 0 / -1
    int read_abs_pos(int32_t axis, int32_t* pos);                           // 0 / -1
    int read_rel_pos(int32_t axis, int32_t* pos);                           // 0 / -1
    int clear_pos(int32_t axis);                                            // 0 / -1
    int32_t read_cur_dir(int32_t axis);                                     // word 0 / -2
    int write_abs_pos(int32_t axis, int32_t pos);                           // 0 / -1

private:
    std::unique_ptr<Device> device_;
    ErrorSink& sink_;
};

}  // namespace dravik
