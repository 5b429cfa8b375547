// What the simulated driver and boards report about themselves: the board layout and every value
// the library's start-up pair checks, so that each of its refusals can be produced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravik::sim {

struct SimConfig {
    std::vector<int> axes_per_board{4, 4};  // one entry per board; 0 axes is allowed (a fault)
    int32_t driver_version[3] = {3, 0, 0};  // command 0
    uint32_t card_version = 0x00020200;     // board register 508: type 0, version 2.2.0
    std::vector<uint32_t> identity;         // board register 500 per board; default 0x4456_0000+n
    int32_t mix_status = 0;                 // command 3
    int32_t board_count_override = -1;      // command 2 answers this when >= 0
    int32_t board_type = 0;                 // command 4, word 0

    int board_count() const { return static_cast<int>(axes_per_board.size()); }
    int total_axes() const;
    uint32_t identity_of(int board) const;  // board is 1-based
};

// Parses "4,4" into axes per board; false for anything else (empty, non-numbers, negatives,
// more than 16 boards or 64 axes on a board).
bool parse_board_list(const std::string& text, std::vector<int>& out);

}  // namespace dravik::sim
