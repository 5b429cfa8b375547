// Helpers shared by the motion, configuration and I/O tests: the request trace of a call in a
// compact readable form, so that a test states the whole traffic of a call in one list.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "axis/registers.h"
#include "motion/moves.h"
#include "support/library_fixture.h"

namespace dravik::test {

// "cmd(code:a,b,c)" for a driver command, "block(axis)" for a MotionBlock, "!" suffix when the
// request failed.
inline std::string step_text(const Request& r) {
    std::string s;
    if (r.code == kRequestMotionBlock && r.in.size() == sizeof(MotionBlock)) {
        MotionBlock b;
        std::memcpy(&b, r.in.data(), sizeof b);
        s = "block(" + std::to_string(b.axis) + ")";
    } else if (r.code == kRequestDriverCommand && r.in.size() == sizeof(DriverCommand)) {
        DriverCommand c;
        std::memcpy(&c, r.in.data(), sizeof c);
        s = "cmd(" + std::to_string(c.command) + ":";
        for (int i = 0; i < c.arg_count && i < 10; ++i)
            s += (i ? "," : "") + std::to_string(c.words[i]);
        s += ")";
    } else {
        s = "other";
    }
    return r.ok ? s : s + "!";
}

inline std::vector<std::string> trace(const FakeDevice& fake) {
    std::vector<std::string> out;
    for (const Request& r : fake.requests()) out.push_back(step_text(r));
    return out;
}

inline std::string cmd(int32_t code, std::initializer_list<int32_t> args) {
    std::string s = "cmd(" + std::to_string(code) + ":";
    bool first = true;
    for (int32_t a : args) {
        s += (first ? "" : ",") + std::to_string(a);
        first = false;
    }
    return s + ")";
}
inline std::string rd(int ch, int32_t reg) { return cmd(kCmdReadAxisReg, {ch, reg}); }
inline std::string wr(int ch, int32_t reg, int32_t v) { return cmd(kCmdWriteAxisReg, {ch, reg, v}); }
inline std::string block(int ch) { return "block(" + std::to_string(ch) + ")"; }

// Appends the requests of validate_axis_call.
inline void add_validation(std::vector<std::string>& out) {
    out.push_back(cmd(kCmdDriverVersion, {0, 0, 0, 0}));
    out.push_back(cmd(kCmdReadBoardReg, {1, kBoardVersion}));
}
// Appends the requests of check_done(ch): validation and the status read.
inline void add_busy_test(std::vector<std::string>& out, int ch) {
    add_validation(out);
    out.push_back(rd(ch, REG_STATUS));
}

inline std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
inline std::vector<std::string> validations(int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) add_validation(out);
    return out;
}
inline std::vector<std::string> busy_tests(std::initializer_list<int> axes) {
    std::vector<std::string> out;
    for (int ch : axes) add_busy_test(out, ch);
    return out;
}

inline std::vector<uint8_t> block_bytes(const MotionBlock& b) {
    std::vector<uint8_t> out(sizeof b);
    std::memcpy(out.data(), &b, sizeof b);
    return out;
}

}  // namespace dravik::test
