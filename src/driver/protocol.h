// Request formats of the board driver: the three device I/O control requests and their buffers.
// These layouts are the wire format, byte for byte, little-endian; only src/driver builds them and
// the simulator reads them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dravik {

// Device I/O control codes (device type 0x22, buffered, any access).
constexpr uint32_t kRequestDriverCommand = 0x2223FC;  // DriverCommand in, same 48 bytes out
constexpr uint32_t kRequestMotionBlock = 0x222040;    // MotionBlock in, uint32 `accepted` out
constexpr uint32_t kRequestBoardRecord = 0x222028;    // int32 board in, BoardRecord out

// Driver command codes carried in DriverCommand::command.
enum DriverCommandCode : int32_t {
    kCmdDriverVersion = 0,   // words 0..2: major, minor, sub-minor (arg_count 4)
    kCmdBoardCount = 2,      // word 0: number of boards
    kCmdBoardMixStatus = 3,  // word 0: board combination status (0 good, 1..4 faults)
    kCmdBoardInfo = 4,       // (board) -> word 0 low byte: type, word 1 low byte: axes
    kCmdStartBoardInit = 7,  // before the axis defaults are written
    kCmdReadAxisReg = 8,     // (axis, offset) -> word 0
    kCmdWriteAxisReg = 9,    // (axis, offset, value)
    kCmdReadBoardReg = 10,   // (board, offset) -> word 0
    kCmdWriteBoardReg = 11,  // (board, offset, value)
    kCmdSyncSerial = 13,     // (value): driver's motion serial number
    kCmdReadPort = 18,       // (port) -> word 0
    kCmdWritePort = 19,      // (port, byte)
    kCmdAdjustDistance = 21, // (axis, signed delta): running move's length changed by delta
    kCmdClearEncoder = 22,   // (axis)
    kCmdReadAbsPos = 25,     // (axis) -> word 0
    kCmdReadRelPos = 26,     // (axis) -> word 0, from the running move's start point
    kCmdClearPos = 27,       // (axis)
    kCmdReadCurDir = 28,     // (axis) -> word 0
    kCmdWriteAbsPos = 29,    // (axis, position)
};

// One driver command: 48 bytes, the same buffer in and out.
struct DriverCommand {
    int32_t command;    // DriverCommandCode
    int32_t arg_count;  // argument words that follow (0..3; the version command sends 4)
    int32_t words[10];  // arguments in, results out
};
static_assert(sizeof(DriverCommand) == 48);
static_assert(offsetof(DriverCommand, command) == 0);
static_assert(offsetof(DriverCommand, arg_count) == 4);
static_assert(offsetof(DriverCommand, words) == 8);

// Block types of a MotionBlock.
constexpr int32_t kBlockConstant = 2;  // move at constant speed (speed_word_1)
constexpr int32_t kBlockRamped = 3;    // accelerate low -> high speed, decelerate again

// Distance sent for continuous and home moves.
constexpr int32_t kEndlessDistance = 0x7FFFFFFF;

// The move of one axis: 104 bytes. The library keeps exactly one and never clears it, so fields a
// request does not write keep what the previous request left there.
struct MotionBlock {
    int32_t axis;             // 0
    int32_t block_type;       // 4   kBlockConstant or kBlockRamped
    uint8_t speed_select;     // 8   constant blocks: which speed word carries the speed (always 1)
    uint8_t reserved9[3];     // 9
    int32_t reserved12;       // 12
    int32_t reserved16;       // 16
    int32_t distance;         // 20  magnitude in pulses, or kEndlessDistance
    int32_t speed_word_1;     // 24  constant speed register, or low-speed register (ramped)
    int32_t speed_word_2;     // 28  high-speed register (ramped)
    int32_t speed_word_3;     // 32  second high-speed register (ramped)
    int32_t accel_word;       // 36  acceleration register (ramped)
    int32_t decel_word;       // 40  deceleration register (ramped)
    int32_t reserved44;       // 44
    int32_t rate_divider;     // 48
    int32_t io_open_pos;      // 52
    int32_t io_close_pos;     // 56
    int32_t reserved60[4];    // 60
    uint32_t mode_image;      // 76  image of the axis mode register
    int32_t reserved80;       // 80
    uint8_t group_remaining;  // 84  blocks of the group still to come, this one included (N..1)
    uint8_t reserved85[3];    // 85
    int32_t reserved88[2];    // 88
    int32_t rate_whole;       // 96  the axis rate truncated toward zero
    int32_t serial;           // 100 motion serial number
};
static_assert(sizeof(MotionBlock) == 104);
static_assert(offsetof(MotionBlock, axis) == 0);
static_assert(offsetof(MotionBlock, block_type) == 4);
static_assert(offsetof(MotionBlock, speed_select) == 8);
static_assert(offsetof(MotionBlock, distance) == 20);
static_assert(offsetof(MotionBlock, speed_word_1) == 24);
static_assert(offsetof(MotionBlock, speed_word_2) == 28);
static_assert(offsetof(MotionBlock, speed_word_3) == 32);
static_assert(offsetof(MotionBlock, accel_word) == 36);
static_assert(offsetof(MotionBlock, decel_word) == 40);
static_assert(offsetof(MotionBlock, rate_divider) == 48);
static_assert(offsetof(MotionBlock, io_open_pos) == 52);
static_assert(offsetof(MotionBlock, io_close_pos) == 56);
static_assert(offsetof(MotionBlock, mode_image) == 76);
static_assert(offsetof(MotionBlock, group_remaining) == 84);
static_assert(offsetof(MotionBlock, rate_whole) == 96);
static_assert(offsetof(MotionBlock, serial) == 100);

// The driver's record of one board, passed to the caller unread.
struct BoardRecord {
    uint8_t bytes[40];
};
static_assert(sizeof(BoardRecord) == 40);

// Board register offsets.
constexpr int32_t kBoardInputs = 256;       // 16 inputs in bits 0..15
constexpr int32_t kBoardOutputs = 260;      // 16 outputs in bits 0..15
constexpr int32_t kBoardSfr = 264;          // special-function word
constexpr int32_t kBoardIoPosEnable = 268;  // I/O position function on (1) or off (0)
constexpr int32_t kBoardIdentity = 500;     // board identity word
constexpr int32_t kBoardVersion = 508;      // type (31..24), major, minor, sub-minor

}  // namespace dravik
