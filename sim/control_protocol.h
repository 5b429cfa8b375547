// The simulator's own control requests, sent on the device socket with codes from
// kSimControlBase upward (the library never sends them). Frames as for device requests; every
// field little-endian. A request with a wrong input length or a bad argument is answered ok = 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/socket_protocol.h"

namespace dravik::sim {

enum ControlCode : uint32_t {
    // in: int32 axis, int32 input (0 +limit, 1 -limit, 2 ORG, 3 SD, 4 alarm), int32 level
    // (0 low, 1 high, 2 active, 3 inactive: active/inactive under the axis's current logic).
    kCtlSetAxisInput = kSimControlBase + 1,
    // in: int32 board, uint32 mask, uint32 levels: input levels (bits 0..15) under mask change.
    kCtlSetBoardInputs = kSimControlBase + 2,
    // in: int32 kind (FaultKind), int32 count (0 cancels that kind). Applies to the next `count`
    // device requests from any connection; control requests never count.
    kCtlInjectFault = kSimControlBase + 3,
    kCtlClockFreeze = kSimControlBase + 4,   // no input
    kCtlClockResume = kSimControlBase + 5,   // no input
    kCtlClockAdvance = kSimControlBase + 6,  // in: int64 nanoseconds (>= 0)
    // out: uint32 count, then `count` AxisSnapshot records (as many as out_len holds).
    kCtlAxisState = kSimControlBase + 7,
    // out: uint32 count, then `count` BoardSnapshot records.
    kCtlBoardState = kSimControlBase + 8,
    // in: int32 board, uint32 value of the board's SFR word.
    kCtlSetBoardSfr = kSimControlBase + 9,
    // in: int32 count: the board count the driver reports from now on (-1: the real count).
    // Lets a test change the count between the two calls of the start-up pair.
    kCtlSetBoardCount = kSimControlBase + 10,
};

enum class FaultKind : int32_t {
    Fail = 0,    // the request is answered ok = 0 (the library sees a failed device request)
    Refuse = 1,  // motion requests only: answered ok = 1 with accepted = 0
    Drop = 2,    // the connection is closed instead of answering
};

struct AxisSnapshot {
    int32_t axis;           // 0
    int32_t board;          // 4
    int32_t abs_pos;        // 8
    int32_t rel_pos;        // 12
    int32_t encoder;        // 16
    int32_t remaining;      // 20  REG_REMAINING
    uint32_t status;        // 24  REG_STATUS
    uint32_t mode;          // 28  REG_MODE
    uint32_t input_config;  // 32  REG_INPUT_CONFIG
    uint32_t input_levels;  // 36  bit i: level of input i (1 high)
    double speed;           // 40  pulses per second
    int64_t clock_ns;       // 48  the instant of the snapshot
    int32_t direction;      // 56  +1 / -1
    uint32_t reserved;      // 60
};
static_assert(sizeof(AxisSnapshot) == 64);
static_assert(offsetof(AxisSnapshot, speed) == 40);

struct BoardSnapshot {
    int32_t board;
    int32_t axes;
    uint32_t inputs;
    uint32_t outputs;
    uint32_t sfr;
    uint32_t io_pos_enable;
};
static_assert(sizeof(BoardSnapshot) == 24);

}  // namespace dravik::sim
