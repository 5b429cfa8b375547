#include "ctl.h"

#include <cstring>
#include <ostream>

#include "control_protocol.h"
#include "options.h"
#include "sim_client.h"
#include "state_format.h"

namespace dravik::sim {

namespace {

constexpr uint32_t kStateOutLen = 1u << 16;

struct Request {
    uint32_t code = 0;
    std::vector<uint8_t> in;
    uint32_t out_len = 0;
};

template <class T>
void put(std::vector<uint8_t>& v, T value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    v.insert(v.end(), p, p + sizeof value);
}

int index_of(const char* const* names, int count, const std::string& word) {
    for (int i = 0; i < count; ++i) {
        if (word == names[i]) return i;
    }
    return -1;
}

// Builds the request of one command; false with a message for bad usage.
bool build(const std::vector<std::string>& a, Request& r, std::string& error) {
    static const char* const kInputs[] = {"pel", "nel", "org", "sd", "alm"};
    static const char* const kLevels[] = {"low", "high", "active", "inactive"};
    static const char* const kFaults[] = {"fail", "refuse", "drop"};
    const std::string cmd = a.empty() ? "" : a[0];
    int32_t n1 = 0, n2 = 0;
    uint32_t u = 0;
    if (cmd == "input" && a.size() == 4) {
        const int input = index_of(kInputs, 5, a[2]);
        const int level = index_of(kLevels, 4, a[3]);
        if (!parse_i32(a[1], n1) || input < 0 || level < 0) return error = "bad input command", false;
        r.code = kCtlSetAxisInput;
        put(r.in, n1);
        put(r.in, int32_t{input});
        put(r.in, int32_t{level});
        return true;
    }
    if (cmd == "board-input" && a.size() == 4) {
        const int level = index_of(kLevels, 2, a[3]);
        if (!parse_i32(a[1], n1) || !parse_i32(a[2], n2) || n2 < 1 || n2 > 16 || level < 0)
            return error = "bad board-input command", false;
        r.code = kCtlSetBoardInputs;
        put(r.in, n1);
        put(r.in, uint32_t{1u << (n2 - 1)});
        put(r.in, uint32_t(level) << (n2 - 1));
        return true;
    }
    if ((cmd == "board-inputs" || cmd == "sfr") && a.size() == 3) {
        if (!parse_i32(a[1], n1) || !parse_u32(a[2], u)) return error = "bad " + cmd + " command", false;
        r.code = cmd == "sfr" ? kCtlSetBoardSfr : kCtlSetBoardInputs;
        put(r.in, n1);
        if (cmd == "board-inputs") put(r.in, uint32_t{0xFFFF});
        put(r.in, u);
        return true;
    }
    if (cmd == "fault" && a.size() == 3) {
        const int kind = index_of(kFaults, 3, a[1]);
        if (kind < 0 || !parse_i32(a[2], n1) || n1 < 0) return error = "bad fault command", false;
        r.code = kCtlInjectFault;
        put(r.in, int32_t{kind});
        put(r.in, n1);
        return true;
    }
    if (cmd == "board-count" && a.size() == 2) {
        if (!parse_i32(a[1], n1) || n1 < -1) return error = "bad board-count command", false;
        r.code = kCtlSetBoardCount;
        put(r.in, n1);
        return true;
    }
    if (cmd == "clock" && a.size() >= 2) {
        if (a[1] == "freeze" && a.size() == 2) return r.code = kCtlClockFreeze, true;
        if (a[1] == "resume" && a.size() == 2) return r.code = kCtlClockResume, true;
        if (a[1] == "advance" && a.size() == 3 && parse_i32(a[2], n1) && n1 >= 0) {
            r.code = kCtlClockAdvance;
            put(r.in, int64_t{n1} * 1000000);
            return true;
        }
        return error = "bad clock command", false;
    }
    if ((cmd == "state" || cmd == "boards") &&
        (a.size() == 1 || (a.size() == 2 && a[1] == "--json"))) {
        r.code = cmd == "state" ? kCtlAxisState : kCtlBoardState;
        r.out_len = kStateOutLen;
        return true;
    }
    error = cmd.empty() ? "missing command" : "unknown or incomplete command: " + cmd;
    return false;
}

}  // namespace

int run_ctl(const std::vector<std::string>& args_in, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = args_in;
    int32_t index = 0;
    if (args.size() >= 2 && args[0] == "--index") {
        if (!parse_i32(args[1], index) || index < 0) {
            err << "dravik-sim ctl: bad --index\n";
            return 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    Request request;
    std::string error;
    if (!build(args, request, error)) {
        err << "dravik-sim ctl: " << error << "\n" << kUsage;
        return 2;
    }
    SimClient client;
    const std::string name = device_socket_name(index);
    if (!client.connect(name)) {
        err << "dravik-sim ctl: no simulator on @" << name << "\n";
        return 1;
    }
    bool ok = false;
    std::vector<uint8_t> reply;
    if (!client.request(request.code, request.in.data(), static_cast<uint32_t>(request.in.size()),
                        request.out_len, ok, reply)) {
        err << "dravik-sim ctl: connection to the simulator broken\n";
        return 1;
    }
    if (!ok) {
        err << "dravik-sim ctl: the simulator refused the request (check the numbers)\n";
        return 1;
    }
    const bool json = args.size() == 2 && args[1] == "--json";
    if (request.code == kCtlAxisState) {
        std::vector<AxisSnapshot> axes;
        if (!decode_axis_state(reply, axes)) return err << "dravik-sim ctl: bad state answer\n", 1;
        out << (json ? axis_json(axes) : axis_table(axes));
    } else if (request.code == kCtlBoardState) {
        std::vector<BoardSnapshot> boards;
        if (!decode_board_state(reply, boards)) return err << "dravik-sim ctl: bad state answer\n", 1;
        out << (json ? board_json(boards) : board_table(boards));
    }
    return 0;
}

}  // namespace dravik::sim
