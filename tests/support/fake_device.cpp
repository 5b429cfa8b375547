#include "support/fake_device.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "axis/registers.h"

namespace dravik::test {

namespace {

const char* command_name(int32_t code) {
    switch (code) {
        case kCmdDriverVersion:
            return "driver_version";
        case kCmdBoardCount:
            return "board_count";
        case kCmdBoardMixStatus:
            return "board_mix_status";
        case kCmdBoardInfo:
            return "board_info";
        case kCmdStartBoardInit:
            return "start_board_init";
        case kCmdReadAxisReg:
            return "read_axis_reg";
        case kCmdWriteAxisReg:
            return "write_axis_reg";
        case kCmdReadBoardReg:
            return "read_board_reg";
        case kCmdWriteBoardReg:
            return "write_board_reg";
        case kCmdSyncSerial:
            return "sync_motion_serial";
        case kCmdReadPort:
            return "read_port";
        case kCmdWritePort:
            return "write_port";
        case kCmdAdjustDistance:
            return "adjust_distance";
        case kCmdClearEncoder:
            return "clear_encoder_pos";
        case kCmdReadAbsPos:
            return "read_abs_pos";
        case kCmdReadRelPos:
            return "read_rel_pos";
        case kCmdClearPos:
            return "clear_pos";
        case kCmdReadCurDir:
            return "read_cur_dir";
        case kCmdWriteAbsPos:
            return "write_abs_pos";
        default:
            return "unknown";
    }
}

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char b[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(b, sizeof b, "%02x", bytes[i]);
        if (i > 0 && i % 4 == 0) s += ' ';
        s += b;
    }
    return s;
}

Cmd decode_command(const std::vector<uint8_t>& in) {
    DriverCommand c{};
    std::memcpy(&c, in.data(), std::min(in.size(), sizeof c));
    Cmd cmd{c.command, {}};
    const int n = c.arg_count < 0 ? 0 : (c.arg_count > 10 ? 10 : c.arg_count);
    cmd.args.assign(c.words, c.words + n);
    return cmd;
}

}  // namespace

void PrintTo(const Cmd& cmd, std::ostream* os) { *os << cmd; }

std::ostream& operator<<(std::ostream& os, const Cmd& cmd) {
    os << cmd.code << ':' << command_name(cmd.code) << '(';
    for (size_t i = 0; i < cmd.args.size(); ++i) os << (i ? ", " : "") << cmd.args[i];
    return os << ')';
}

std::vector<uint8_t> command_bytes(const Cmd& cmd) {
    DriverCommand c{};
    c.command = cmd.code;
    c.arg_count = static_cast<int32_t>(cmd.args.size());
    for (size_t i = 0; i < cmd.args.size() && i < 10; ++i) c.words[i] = cmd.args[i];
    std::vector<uint8_t> bytes(sizeof c);
    std::memcpy(bytes.data(), &c, sizeof c);
    return bytes;
}

std::string describe(const Request& r) {
    std::ostringstream os;
    if (r.code == kRequestDriverCommand) {
        os << "command " << decode_command(r.in);
    } else if (r.code == kRequestMotionBlock) {
        MotionBlock b{};
        std::memcpy(&b, r.in.data(), std::min(r.in.size(), sizeof b));
        os << "motion axis " << b.axis << " type " << b.block_type << " dist " << b.distance
           << " mode 0x" << std::hex << b.mode_image << std::dec << " group "
           << int(b.group_remaining) << " serial " << b.serial;
    } else if (r.code == kRequestBoardRecord) {
        os << "board record";
    } else {
        os << "code 0x" << std::hex << r.code << std::dec;
    }
    os << (r.ok ? "" : " FAILED") << "\n    in  " << hex(r.in) << "\n    out " << hex(r.out);
    return os.str();
}

FakeDevice::FakeDevice(std::vector<int> axes_per_board) : axes_(std::move(axes_per_board)) {}

bool FakeDevice::should_fail(size_t index) {
    if (fail_next_ > 0) {
        --fail_next_;
        return true;
    }
    return fail_at_.erase(index) > 0;
}

bool FakeDevice::control(uint32_t code, const void* in, uint32_t in_len, void* out,
                         uint32_t out_len) {
    std::lock_guard lock(mutex_);
    const size_t index = log_.size();
    Request r;
    r.code = code;
    r.in.assign(static_cast<const uint8_t*>(in), static_cast<const uint8_t*>(in) + in_len);
    bool ok = !should_fail(index);
    std::vector<uint8_t> answer;
    if (ok && code == kRequestDriverCommand && in_len == sizeof(DriverCommand) &&
        out_len == sizeof(DriverCommand)) {
        DriverCommand cmd{};
        std::memcpy(&cmd, in, sizeof cmd);
        ok = answer_command(cmd);
        answer.resize(sizeof cmd);
        std::memcpy(answer.data(), &cmd, sizeof cmd);
    } else if (ok && code == kRequestMotionBlock && in_len == sizeof(MotionBlock) &&
               out_len == sizeof(uint32_t)) {
        bool refuse = refuse_next_ > 0 || refuse_at_.erase(index) > 0;
        if (refuse_next_ > 0) --refuse_next_;
        const uint32_t accepted = refuse ? 0 : 1;
        answer.resize(sizeof accepted);
        std::memcpy(answer.data(), &accepted, sizeof accepted);
    } else if (ok && code == kRequestBoardRecord && in_len == 4 && out_len == sizeof(BoardRecord)) {
        int32_t board = 0;
        std::memcpy(&board, in, sizeof board);
        answer.resize(sizeof(BoardRecord));
        for (size_t i = 0; i < answer.size(); ++i) answer[i] = static_cast<uint8_t>(board * 16 + i);
    } else {
        ok = false;  // a failed request, a malformed one, or a code the driver does not know
    }
    if (ok) std::memcpy(out, answer.data(), answer.size());
    r.out = ok ? answer : std::vector<uint8_t>{};
    r.ok = ok;
    log_.push_back(std::move(r));
    return ok;
}

bool FakeDevice::answer_command(DriverCommand& c) {
    int32_t* w = c.words;
    const int a = w[0];
    switch (c.command) {
        case kCmdDriverVersion:
            w[0] = version_[0];
            w[1] = version_[1];
            w[2] = version_[2];
            return true;
        case kCmdBoardCount:
            w[0] = board_count_.value_or(static_cast<int32_t>(axes_.size()));
            return true;
        case kCmdBoardMixStatus:
            w[0] = mix_status_;
            return true;
        case kCmdBoardInfo: {
            if (a < 1 || a > static_cast<int>(axes_.size())) return false;
            auto it = axes_word_.find(a);
            w[1] = it != axes_word_.end() ? it->second : axes_[static_cast<size_t>(a - 1)];
            w[0] = 0;  // board type
            return true;
        }
        case kCmdStartBoardInit:
            w[0] = start_init_result_;
            return true;
        case kCmdReadAxisReg: {
            auto it = axis_regs_.find({a, w[1]});
            w[0] = it != axis_regs_.end() ? it->second : 0;
            return true;
        }
        case kCmdWriteAxisReg:
            axis_regs_[{a, w[1]}] = w[2];
            return true;
        case kCmdReadBoardReg: {
            auto it = board_regs_.find({a, w[1]});
            if (it != board_regs_.end())
                w[0] = it->second;
            else if (w[1] == kBoardVersion)
                w[0] = 0x00020200;
            else if (w[1] == kBoardIdentity)
                w[0] = 0xA0 + a;
            else
                w[0] = 0;
            return true;
        }
        case kCmdWriteBoardReg:
            board_regs_[{a, w[1]}] = w[2];
            return true;
        case kCmdSyncSerial:
            serial_ = a;
            w[0] = 0;
            return true;
        case kCmdReadPort:
            w[0] = ports_[a];
            return true;
        case kCmdWritePort:
            ports_[a] = w[1];
            return true;
        case kCmdAdjustDistance:
            return true;
        case kCmdClearEncoder:
            axis_regs_[{a, REG_ENCODER}] = 0;
            return true;
        case kCmdReadAbsPos:
            w[0] = abs_pos_[a];
            return true;
        case kCmdReadRelPos:
            w[0] = rel_pos_[a];
            return true;
        case kCmdClearPos:
            abs_pos_[a] = 0;
            rel_pos_[a] = 0;
            return true;
        case kCmdReadCurDir:
            w[0] = cur_dir_[a];
            return true;
        case kCmdWriteAbsPos:
            abs_pos_[a] = w[1];
            return true;
        default:
            return false;
    }
}

void FakeDevice::set_driver_version(int32_t major, int32_t minor, int32_t sub) {
    std::lock_guard lock(mutex_);
    version_[0] = major;
    version_[1] = minor;
    version_[2] = sub;
}
void FakeDevice::set_board_count(int32_t word) {
    std::lock_guard lock(mutex_);
    board_count_ = word;
}
void FakeDevice::set_board_axes(int board, int32_t word) {
    std::lock_guard lock(mutex_);
    axes_word_[board] = word;
}
void FakeDevice::set_mix_status(int32_t status) {
    std::lock_guard lock(mutex_);
    mix_status_ = status;
}
void FakeDevice::set_start_init_result(int32_t word) {
    std::lock_guard lock(mutex_);
    start_init_result_ = word;
}
void FakeDevice::set_card_version(int board, uint32_t word) {
    set_board_reg(board, kBoardVersion, static_cast<int32_t>(word));
}
void FakeDevice::set_identity(int board, int32_t word) {
    set_board_reg(board, kBoardIdentity, word);
}

int32_t FakeDevice::axis_reg(int axis, int32_t offset) const {
    std::lock_guard lock(mutex_);
    auto it = axis_regs_.find({axis, offset});
    return it != axis_regs_.end() ? it->second : 0;
}
void FakeDevice::set_axis_reg(int axis, int32_t offset, int32_t value) {
    std::lock_guard lock(mutex_);
    axis_regs_[{axis, offset}] = value;
}
int32_t FakeDevice::board_reg(int board, int32_t offset) const {
    std::lock_guard lock(mutex_);
    auto it = board_regs_.find({board, offset});
    return it != board_regs_.end() ? it->second : 0;
}
void FakeDevice::set_board_reg(int board, int32_t offset, int32_t value) {
    std::lock_guard lock(mutex_);
    board_regs_[{board, offset}] = value;
}
void FakeDevice::set_status_bits(int axis, uint32_t mask, bool on) {
    std::lock_guard lock(mutex_);
    auto& reg = axis_regs_[{axis, REG_STATUS}];
    const auto v = static_cast<uint32_t>(reg);
    reg = static_cast<int32_t>(on ? (v | mask) : (v & ~mask));
}
void FakeDevice::set_busy(int axis, bool busy) { set_status_bits(axis, STATUS_BUSY, busy); }
int32_t FakeDevice::abs_pos(int axis) const {
    std::lock_guard lock(mutex_);
    auto it = abs_pos_.find(axis);
    return it != abs_pos_.end() ? it->second : 0;
}
void FakeDevice::set_abs_pos(int axis, int32_t pos) {
    std::lock_guard lock(mutex_);
    abs_pos_[axis] = pos;
}
int32_t FakeDevice::rel_pos(int axis) const {
    std::lock_guard lock(mutex_);
    auto it = rel_pos_.find(axis);
    return it != rel_pos_.end() ? it->second : 0;
}
void FakeDevice::set_rel_pos(int axis, int32_t pos) {
    std::lock_guard lock(mutex_);
    rel_pos_[axis] = pos;
}
void FakeDevice::set_cur_dir(int axis, int32_t dir) {
    std::lock_guard lock(mutex_);
    cur_dir_[axis] = dir;
}
int32_t FakeDevice::port(int p) const {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(p);
    return it != ports_.end() ? it->second : 0;
}
void FakeDevice::set_port(int p, int32_t value) {
    std::lock_guard lock(mutex_);
    ports_[p] = value;
}
int32_t FakeDevice::serial() const {
    std::lock_guard lock(mutex_);
    return serial_;
}

void FakeDevice::fail_next(int n) {
    std::lock_guard lock(mutex_);
    fail_next_ = n;
}
void FakeDevice::fail_at(size_t index) {
    std::lock_guard lock(mutex_);
    fail_at_.insert(index);
}
void FakeDevice::refuse_motion_next(int n) {
    std::lock_guard lock(mutex_);
    refuse_next_ = n;
}
void FakeDevice::refuse_motion_at(size_t index) {
    std::lock_guard lock(mutex_);
    refuse_at_.insert(index);
}

std::vector<Request> FakeDevice::requests() const {
    std::lock_guard lock(mutex_);
    return log_;
}
size_t FakeDevice::request_count() const {
    std::lock_guard lock(mutex_);
    return log_.size();
}
void FakeDevice::clear_requests() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

std::vector<Cmd> FakeDevice::commands() const {
    std::vector<Cmd> out;
    for (const Request& r : requests())
        if (r.code == kRequestDriverCommand) out.push_back(decode_command(r.in));
    return out;
}

std::vector<MotionBlock> FakeDevice::motion_blocks() const {
    std::vector<MotionBlock> out;
    for (const Request& r : requests()) {
        if (r.code != kRequestMotionBlock || r.in.size() != sizeof(MotionBlock)) continue;
        MotionBlock b{};
        std::memcpy(&b, r.in.data(), sizeof b);
        out.push_back(b);
    }
    return out;
}

std::vector<int32_t> FakeDevice::writes_to(int axis, int32_t offset) const {
    std::vector<int32_t> out;
    for (const Cmd& c : commands())
        if (c.code == kCmdWriteAxisReg && c.args.size() == 3 && c.args[0] == axis &&
            c.args[1] == offset)
            out.push_back(c.args[2]);
    return out;
}

size_t FakeDevice::count(int32_t code) const {
    size_t n = 0;
    for (const Cmd& c : commands()) n += c.code == code ? 1 : 0;
    return n;
}

std::string FakeDevice::dump() const {
    std::ostringstream os;
    const auto log = requests();
    for (size_t i = 0; i < log.size(); ++i) os << '#' << i << ' ' << describe(log[i]) << '\n';
    return os.str();
}

std::string FakeDevice::describe_at(size_t index) const {
    std::lock_guard lock(mutex_);
    return index < log_.size() ? describe(log_[index]) : std::string();
}

}  // namespace dravik::test
