// The library context: every piece of library-wide state lives in one Library object, which owns
// the driver device. The exported C functions take `mutex`, forward to the subsystem functions
// (free functions over Library&) and return. Tests build a fresh Library over a fake device.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "axis/axis_state.h"
#include "core/error_ring.h"
#include "driver/channel.h"
#include "driver/protocol.h"
#include "motion/position_monitor.h"

namespace dravik {

// Error codes raised outside the driver channel.
constexpr int32_t kErrInitBeforeAutoSet = 4;
constexpr int32_t kErrNoBoard = 7;
constexpr int32_t kErrInitNoAxes = 8;
constexpr int32_t kErrNotReady = 9;
constexpr int32_t kErrScanNoAxes = 0xB;
constexpr int32_t kErrMix4 = 0xD;
constexpr int32_t kErrMix1 = 0xE;
constexpr int32_t kErrMix2 = 0xF;
constexpr int32_t kErrMix3 = 0x10;
constexpr int32_t kErrDriverVersion = 0x12;
constexpr int32_t kErrCardType = 0x13;
constexpr int32_t kErrBadAxis = 0x2000001;
constexpr int32_t kErrBadSpeed = 0x2000002;
constexpr int32_t kErrBadBoard = 0x2000005;
constexpr int32_t kErrSameAxis = 0x2000017;
constexpr int32_t kErrBadParam = 0x2000019;  // also: a null out-pointer
constexpr int32_t kErrAxisMoving = 0x200001E;

struct BoardState {
    uint8_t init_stage = 0;  // 0 nothing ran, 1 auto_set ran, 2 init_board ran
    int8_t board_count = 0;
    std::vector<int8_t> axes_per_board;  // index board - 1
    int32_t total_axes = 0;
    uint8_t boards_ready = 0;
};

struct KeptVersions {
    int32_t driver[3] = {0, 0, 0};   // major, minor, sub-minor
    int32_t card[4] = {0, 0, 0, 0};  // board 1: type, major, minor, sub-minor
};

class Library final : public ErrorSink {
public:
    explicit Library(std::unique_ptr<Device> device);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // LastError = code, then record it in the ring.
    void report_error(int32_t code) override;
    // Makes sure every per-axis table has an entry for axes 1..count.
    void ensure_axis_tables(int32_t count);

    // Held for the whole of every exported call and of every polling pass.
    std::recursive_mutex mutex;

    DriverChannel driver;
    int32_t last_error = 0;
    ErrorRing errors;
    BoardState boards;
    KeptVersions versions;
    MotionBlock block{};                 // the one MotionBlock, never cleared
    std::vector<AxisState> axes;         // index ch - 1, sized from the axis count found
    MotionSettings settings;
    std::vector<MoveRecord> moves;       // index ch - 1, same size as axes
    std::array<double, 10> dll_info{};   // diagnostic table, all 0.0

    // The polling thread that completes hand-over changes of position (motion/changes.h). Keep it
    // the last member: it is destroyed first, and its destructor ends and joins the thread while
    // everything the thread uses is still alive.
    PositionMonitor monitor{mutex};
};

}  // namespace dravik
