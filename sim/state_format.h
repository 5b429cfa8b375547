// Text forms of the simulator's state for `dravik-sim ctl state|boards`: an aligned table or
// JSON (one object per axis or board, in an array).
#pragma once

#include <string>
#include <vector>

#include "control_protocol.h"

namespace dravik::sim {

std::string axis_table(const std::vector<AxisSnapshot>& axes);
std::string axis_json(const std::vector<AxisSnapshot>& axes);
std::string board_table(const std::vector<BoardSnapshot>& boards);
std::string board_json(const std::vector<BoardSnapshot>& boards);

// Decodes the answer of kCtlAxisState / kCtlBoardState; false when it is malformed.
bool decode_axis_state(const std::vector<uint8_t>& bytes, std::vector<AxisSnapshot>& out);
bool decode_board_state(const std::vector<uint8_t>& bytes, std::vector<BoardSnapshot>& out);

}  // namespace dravik::sim
