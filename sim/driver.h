// Driver emulation: the driver commands of the contract, carried out on the simulated machine,
// and the board record.
#pragma once

#include <cstdint>

#include "driver/protocol.h"
#include "machine.h"

namespace dravik::sim {

// Carries out one DriverCommand at `now_ns`, writing results into its words. False (the driver
// refuses the request) for an unknown command code, an argument count other than the command's,
// an axis, board, register offset or port out of range, and a distance change while the change
// function is not enabled on the axis.
bool run_driver_command(Machine& machine, DriverCommand& cmd, int64_t now_ns);

// The 40-byte record of board `board` (1-based); false when there is no such board.
// Layout, little-endian: 0 int32 board number, 4 int32 axes, 8 int32 first axis number,
// 12 int32 board type, 16 uint32 version word, 20 uint32 identity word, 24 16 bytes name
// "DRAVIK-SIM", NUL-padded.
bool fill_board_record(const Machine& machine, int32_t board, BoardRecord& record);

}  // namespace dravik::sim
