// Axis register map as the library uses it: byte offsets of the 32-bit axis registers and the
// named bits of the mode, input configuration, home configuration and status registers.
#pragma once

#include <cstdint>

namespace dravik {

// Axis register offsets.
constexpr int32_t REG_REMAINING = 0;         // distance still to go of the running move
constexpr int32_t REG_AUX4 = 4;              // written 0 at init
constexpr int32_t REG_SPEED_CHANGE = 8;      // new high-speed value (1..8191) of a ramped move
constexpr int32_t REG_DISTANCE_CHANGE = 12;  // distance correction of a running move
constexpr int32_t REG_ACCEL_CHANGE = 16;     // acceleration register value (2..65535)
constexpr int32_t REG_DECEL_CHANGE = 20;     // deceleration register value (2..65535)
constexpr int32_t REG_RAMP_AUX = 24;         // written 0 before every ramped move
constexpr int32_t REG_AUX32 = 32;            // written 0 at init
constexpr int32_t REG_AUX36 = 36;            // written 0 at init
constexpr int32_t REG_ENCODER = 40;          // encoder counter
constexpr int32_t REG_CURRENT_SPEED = 44;    // bits 0..12: current speed in speed units
constexpr int32_t REG_INPUT_CONFIG = 48;     // CFG_ bits
constexpr int32_t REG_HOME_CONFIG = 52;      // HOME_MODE_BIT
constexpr int32_t REG_MODE = 56;             // MODE_ bits; its image travels in every MotionBlock
constexpr int32_t REG_STATUS = 60;           // STATUS_ bits, read only

// REG_MODE bits.
constexpr uint32_t MODE_SPEED_SELECT = 0x3;      // bits 0-1
constexpr uint32_t MODE_SPEED_SELECT_0 = 0x1;    // bit 0: set for ramped moves
constexpr uint32_t MODE_RAMP = 0x4;              // bit 2
constexpr uint32_t MODE_RUN = 0x18;              // bits 3-4: run field
constexpr uint32_t MODE_RUN_STOP = 0x8;          // 01: stop at once
constexpr uint32_t MODE_RUN_GO = 0x10;           // 10: run
constexpr uint32_t MODE_RUN_DECEL_STOP = 0x18;   // 11: decelerate and stop
constexpr uint32_t MODE_ORG_STOP = 0x100;        // bit 8: stop at the ORG input
constexpr uint32_t MODE_SD_ENABLE = 0x200;       // bit 9: slow-down input enabled
constexpr uint32_t MODE_POSITIONING = 0x400;     // bit 10: point move
constexpr uint32_t MODE_DIR_NEG = 0x800;         // bit 11: negative direction
constexpr uint32_t MODE_POINT_RAMP = 0x1000;     // bit 12: ramped point move
constexpr uint32_t MODE_RAMP_FLAG = 0x10000;     // bit 16: ramp flag 1 of point moves
constexpr uint32_t MODE_OUTMODE = 0x20000;       // bit 17: pulse output mode
constexpr uint32_t MODE_DEFAULT = 0x202608;      // power-on value: bits 3, 9, 10, 13, 21

// REG_INPUT_CONFIG bits.
constexpr uint32_t CFG_ENCODER_X4 = 1u << 6;
constexpr uint32_t CFG_GETPOS_MODE = 1u << 7;
constexpr uint32_t CFG_CHANGE_POS = 1u << 8;
constexpr uint32_t CFG_EL_LOGIC = 1u << 16;
constexpr uint32_t CFG_SD_LOGIC = 1u << 17;
constexpr uint32_t CFG_ALM_LOGIC = 1u << 18;
constexpr uint32_t CFG_ORG_LOGIC = 1u << 19;
constexpr uint32_t CFG_EL_DISABLE = (1u << 21) | (1u << 22);

// REG_HOME_CONFIG bits.
constexpr uint32_t HOME_MODE_BIT = 1u << 21;

// REG_STATUS bits.
constexpr uint32_t STATUS_SD = 1u << 3;
constexpr uint32_t STATUS_BUSY = 1u << 7;
constexpr uint32_t STATUS_ALARM = 1u << 15;
constexpr uint32_t STATUS_NEG_LIMIT = 1u << 24;
constexpr uint32_t STATUS_POS_LIMIT = 1u << 25;
constexpr uint32_t STATUS_HOME = 1u << 26;

}  // namespace dravik
