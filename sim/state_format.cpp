#include "state_format.h"

#include <cstdio>
#include <cstring>

#include "axis/registers.h"
#include "axis.h"

namespace dravik::sim {

namespace {

const char* const kInputNames[kAxisInputCount] = {"pel", "nel", "org", "sd", "alm"};
// Status bit reporting each input as active.
const uint32_t kInputStatus[kAxisInputCount] = {STATUS_POS_LIMIT, STATUS_NEG_LIMIT, STATUS_HOME,
                                                STATUS_SD, STATUS_ALARM};

std::string active_inputs(const AxisSnapshot& a) {
    std::string s;
    for (int i = 0; i < kAxisInputCount; ++i) {
        if (!(a.status & kInputStatus[i])) continue;
        if (!s.empty()) s += ',';
        s += kInputNames[i];
    }
    return s.empty() ? "-" : s;
}

template <class T>
bool decode(const std::vector<uint8_t>& bytes, std::vector<T>& out) {
    uint32_t count = 0;
    if (bytes.size() < sizeof count) return false;
    std::memcpy(&count, bytes.data(), sizeof count);
    if (bytes.size() != sizeof count + count * sizeof(T)) return false;
    out.resize(count);
    if (count > 0) std::memcpy(out.data(), bytes.data() + sizeof count, count * sizeof(T));
    return true;
}

}  // namespace

bool decode_axis_state(const std::vector<uint8_t>& bytes, std::vector<AxisSnapshot>& out) {
    return decode(bytes, out);
}

bool decode_board_state(const std::vector<uint8_t>& bytes, std::vector<BoardSnapshot>& out) {
    return decode(bytes, out);
}

std::string axis_table(const std::vector<AxisSnapshot>& axes) {
    std::string text = "axis board    abs_pos    rel_pos    encoder  remaining      speed busy dir"
                       "  inputs\n";
    char line[200];
    for (const auto& a : axes) {
        std::snprintf(line, sizeof line, "%4d %5d %10d %10d %10d %10d %10.1f %4s %3d  %s\n",
                      a.axis, a.board, a.abs_pos, a.rel_pos, a.encoder, a.remaining, a.speed,
                      (a.status & STATUS_BUSY) ? "yes" : "no", a.direction,
                      active_inputs(a).c_str());
        text += line;
    }
    return text;
}

std::string axis_json(const std::vector<AxisSnapshot>& axes) {
    std::string text = "[";
    char item[600];
    for (size_t i = 0; i < axes.size(); ++i) {
        const auto& a = axes[i];
        std::string inputs;
        for (int k = 0; k < kAxisInputCount; ++k) {
            char one[64];
            std::snprintf(one, sizeof one, "%s\"%s\": {\"active\": %s, \"level\": %d}",
                          k ? ", " : "", kInputNames[k], (a.status & kInputStatus[k]) ? "true" : "false",
                          (a.input_levels >> k) & 1);
            inputs += one;
        }
        std::snprintf(item, sizeof item,
                      "%s\n  {\"axis\": %d, \"board\": %d, \"abs_pos\": %d, \"rel_pos\": %d, "
                      "\"encoder\": %d, \"remaining\": %d, \"speed\": %.3f, \"busy\": %s, "
                      "\"direction\": %d, \"status\": %u, \"mode\": %u, \"input_config\": %u, "
                      "\"clock_ns\": %lld, \"inputs\": {%s}}",
                      i ? "," : "", a.axis, a.board, a.abs_pos, a.rel_pos, a.encoder, a.remaining,
                      a.speed, (a.status & STATUS_BUSY) ? "true" : "false", a.direction, a.status,
                      a.mode, a.input_config, static_cast<long long>(a.clock_ns), inputs.c_str());
        text += item;
    }
    return text + (axes.empty() ? "]\n" : "\n]\n");
}

std::string board_table(const std::vector<BoardSnapshot>& boards) {
    std::string text = "board axes  inputs outputs        sfr io_pos\n";
    char line[120];
    for (const auto& b : boards) {
        std::snprintf(line, sizeof line, "%5d %4d  0x%04X  0x%04X 0x%08X %6u\n", b.board, b.axes,
                      b.inputs & 0xFFFF, b.outputs & 0xFFFF, b.sfr, b.io_pos_enable);
        text += line;
    }
    return text;
}

std::string board_json(const std::vector<BoardSnapshot>& boards) {
    std::string text = "[";
    char item[200];
    for (size_t i = 0; i < boards.size(); ++i) {
        const auto& b = boards[i];
        std::snprintf(item, sizeof item,
                      "%s\n  {\"board\": %d, \"axes\": %d, \"inputs\": %u, \"outputs\": %u, "
                      "\"sfr\": %u, \"io_pos_enable\": %u}",
                      i ? "," : "", b.board, b.axes, b.inputs, b.outputs, b.sfr, b.io_pos_enable);
        text += item;
    }
    return text + (boards.empty() ? "]\n" : "\n]\n");
}

}  // namespace dravik::sim
