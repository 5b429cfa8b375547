#include "options.h"

#include <cerrno>
#include <cstdlib>

namespace dravik::sim {

const char* const kUsage =
    "usage: dravik-sim [options]            serve the boards on the device socket\n"
    "       dravik-sim ctl [--index N] CMD  control a running simulator\n"
    "\n"
    "options:\n"
    "  --boards A,B,...        axes of each board (default 4,4)\n"
    "  --index N               interface number of the device socket (default 0)\n"
    "  --driver-version X.Y.Z  driver version reported (default 3.0.0)\n"
    "  --card-version WORD     board version word, type in bits 31-24 (default 0x00020200)\n"
    "  --identity W1,W2,...    identity word of each board (default 0x44560000 + board)\n"
    "  --mix-status S          board combination status (default 0)\n"
    "  --board-count N         board count reported, whatever --boards says\n"
    "  --board-type T          board type reported by the board information command (default 0)\n"
    "  --frozen                start with the clock frozen\n"
    "  --help                  this text\n"
    "\n"
    "ctl commands:\n"
    "  input AXIS pel|nel|org|sd|alm active|inactive|high|low\n"
    "  board-input BOARD BIT high|low      (BIT 1..16)\n"
    "  board-inputs BOARD LEVELS           (16-bit word of input levels)\n"
    "  sfr BOARD VALUE\n"
    "  fault fail|refuse|drop COUNT        (COUNT 0 cancels)\n"
    "  board-count N                       board count reported from now on (-1: the real one)\n"
    "  clock freeze|resume|advance MS\n"
    "  state [--json]                      every axis\n"
    "  boards [--json]                     every board\n";

bool parse_u32(const std::string& text, uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFull) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool parse_i32(const std::string& text, int32_t& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

namespace {

bool split_numbers(const std::string& text, char sep, std::vector<uint32_t>& out) {
    out.clear();
    size_t pos = 0;
    for (;;) {
        const size_t next = text.find(sep, pos);
        uint32_t v = 0;
        if (!parse_u32(text.substr(pos, next == std::string::npos ? next : next - pos), v))
            return false;
        out.push_back(v);
        if (next == std::string::npos) return true;
        pos = next + 1;
    }
}

}  // namespace

bool parse_daemon_options(const std::vector<std::string>& args, DaemonOptions& options,
                          std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (opt == "--help" || opt == "-h") {
            options.help = true;
            continue;
        }
        if (opt == "--frozen") {
            options.frozen = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + opt;
            return false;
        }
        const std::string& value = args[++i];
        std::vector<uint32_t> numbers;
        int32_t number = 0;
        bool ok = true;
        if (opt == "--boards") {
            ok = parse_board_list(value, options.config.axes_per_board);
        } else if (opt == "--index") {
            ok = parse_i32(value, number) && number >= 0 && number <= 9999;
            options.index = number;
        } else if (opt == "--driver-version") {
            ok = split_numbers(value, '.', numbers) && numbers.size() == 3;
            for (size_t k = 0; ok && k < 3; ++k)
                options.config.driver_version[k] = static_cast<int32_t>(numbers[k]);
        } else if (opt == "--card-version") {
            ok = parse_u32(value, options.config.card_version);
        } else if (opt == "--identity") {
            ok = split_numbers(value, ',', numbers);
            options.config.identity = numbers;
        } else if (opt == "--mix-status") {
            ok = parse_i32(value, options.config.mix_status);
        } else if (opt == "--board-count") {
            ok = parse_i32(value, number) && number >= 0;
            options.config.board_count_override = number;
        } else if (opt == "--board-type") {
            ok = parse_i32(value, options.config.board_type);
        } else {
            error = "unknown option: " + opt;
            return false;
        }
        if (!ok) {
            error = "bad value for " + opt + ": " + value;
            return false;
        }
    }
    return true;
}

}  // namespace dravik::sim
