// Command line of the daemon (`dravik-sim [options]`).
#pragma once

#include <string>
#include <vector>

#include "config.h"

namespace dravik::sim {

struct DaemonOptions {
    SimConfig config;
    int index = 0;        // interface number of the device socket
    bool frozen = false;  // start with the clock frozen (advance it with `ctl clock`)
    bool help = false;
};

// Parses the daemon's arguments (without the program name); false with a message on bad input.
bool parse_daemon_options(const std::vector<std::string>& args, DaemonOptions& options,
                          std::string& error);

// Parses a 32-bit number in decimal, or hex with 0x; false for anything else.
bool parse_u32(const std::string& text, uint32_t& value);
bool parse_i32(const std::string& text, int32_t& value);

extern const char* const kUsage;

}  // namespace dravik::sim
