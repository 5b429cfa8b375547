// Exported move, stop and change calls: each takes the library lock and forwards.
#include <initializer_list>
#include <span>

#include "dravik/dravik.h"
#include "exports/export_support.h"
#include "motion/changes.h"
#include "motion/lines.h"
#include "motion/moves.h"
#include "motion/stops.h"

namespace {

using dravik::AxisArg;
using dravik::Library;

int move(const dravik::MoveFamily& family, std::initializer_list<AxisArg> axes) {
    return dravik::exported([&](Library& lib) {
        return dravik::run_move(lib, family, std::span<const AxisArg>(axes.begin(), axes.size()));
    });
}

int point(bool ramped, std::initializer_list<AxisArg> axes) {
    return move(dravik::point_family(ramped, static_cast<int>(axes.size())), axes);
}

int velocity(bool ramped, std::initializer_list<AxisArg> axes) {
    return move(dravik::velocity_family(ramped), axes);
}

int home(bool ramped, std::initializer_list<AxisArg> axes) {
    return move(dravik::home_family(ramped), axes);
}

int line(bool ramped, std::initializer_list<AxisArg> axes) {
    return dravik::exported([&](Library& lib) {
        return dravik::run_line(lib, ramped, std::span<const AxisArg>(axes.begin(), axes.size()));
    });
}

int stop(dravik::StopKind kind, std::initializer_list<int> axes) {
    return dravik::exported([&](Library& lib) {
        return dravik::stop_axes(lib, kind, std::span<const int>(axes.begin(), axes.size()));
    });
}

constexpr bool kConstant = false;
constexpr bool kRamped = true;
constexpr auto kSudden = dravik::StopKind::sudden;
constexpr auto kDecel = dravik::StopKind::decel;

}  // namespace

extern "C" {

// Point moves.
DRAVIK_API int DRAVIK_CALL con_pmove(int ch, int32_t step) { return point(kConstant, {{ch, step}}); }
DRAVIK_API int DRAVIK_CALL fast_pmove(int ch, int32_t step) { return point(kRamped, {{ch, step}}); }
DRAVIK_API int DRAVIK_CALL con_pmove2(int ch1, int32_t step1, int ch2, int32_t step2) {
    return point(kConstant, {{ch1, step1}, {ch2, step2}});
}
DRAVIK_API int DRAVIK_CALL fast_pmove2(int ch1, int32_t step1, int ch2, int32_t step2) {
    return point(kRamped, {{ch1, step1}, {ch2, step2}});
}
DRAVIK_API int DRAVIK_CALL con_pmove3(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                      int32_t step3) {
    return point(kConstant, {{ch1, step1}, {ch2, step2}, {ch3, step3}});
}
DRAVIK_API int DRAVIK_CALL fast_pmove3(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                       int32_t step3) {
    return point(kRamped, {{ch1, step1}, {ch2, step2}, {ch3, step3}});
}
DRAVIK_API int DRAVIK_CALL con_pmove4(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                      int32_t step3, int ch4, int32_t step4) {
    return point(kConstant, {{ch1, step1}, {ch2, step2}, {ch3, step3}, {ch4, step4}});
}
DRAVIK_API int DRAVIK_CALL fast_pmove4(int ch1, int32_t step1, int ch2, int32_t step2, int ch3,
                                       int32_t step3, int ch4, int32_t step4) {
    return point(kRamped, {{ch1, step1}, {ch2, step2}, {ch3, step3}, {ch4, step4}});
}

// Continuous moves.
DRAVIK_API int DRAVIK_CALL con_vmove(int ch, int dir) { return velocity(kConstant, {{ch, dir}}); }
DRAVIK_API int DRAVIK_CALL fast_vmove(int ch, int dir) { return velocity(kRamped, {{ch, dir}}); }
DRAVIK_API int DRAVIK_CALL con_vmove2(int ch1, int dir1, int ch2, int dir2) {
    return velocity(kConstant, {{ch1, dir1}, {ch2, dir2}});
}
DRAVIK_API int DRAVIK_CALL fast_vmove2(int ch1, int dir1, int ch2, int dir2) {
    return velocity(kRamped, {{ch1, dir1}, {ch2, dir2}});
}
DRAVIK_API int DRAVIK_CALL con_vmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3) {
    return velocity(kConstant, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}});
}
DRAVIK_API int DRAVIK_CALL fast_vmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3) {
    return velocity(kRamped, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}});
}
DRAVIK_API int DRAVIK_CALL con_vmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                      int ch4, int dir4) {
    return velocity(kConstant, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}, {ch4, dir4}});
}
DRAVIK_API int DRAVIK_CALL fast_vmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                       int ch4, int dir4) {
    return velocity(kRamped, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}, {ch4, dir4}});
}

// Home moves.
DRAVIK_API int DRAVIK_CALL con_hmove(int ch, int dir) { return home(kConstant, {{ch, dir}}); }
DRAVIK_API int DRAVIK_CALL fast_hmove(int ch, int dir) { return home(kRamped, {{ch, dir}}); }
DRAVIK_API int DRAVIK_CALL con_hmove2(int ch1, int dir1, int ch2, int dir2) {
    return home(kConstant, {{ch1, dir1}, {ch2, dir2}});
}
DRAVIK_API int DRAVIK_CALL fast_hmove2(int ch1, int dir1, int ch2, int dir2) {
    return home(kRamped, {{ch1, dir1}, {ch2, dir2}});
}
DRAVIK_API int DRAVIK_CALL con_hmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3) {
    return home(kConstant, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}});
}
DRAVIK_API int DRAVIK_CALL fast_hmove3(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3) {
    return home(kRamped, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}});
}
DRAVIK_API int DRAVIK_CALL con_hmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                      int ch4, int dir4) {
    return home(kConstant, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}, {ch4, dir4}});
}
DRAVIK_API int DRAVIK_CALL fast_hmove4(int ch1, int dir1, int ch2, int dir2, int ch3, int dir3,
                                       int ch4, int dir4) {
    return home(kRamped, {{ch1, dir1}, {ch2, dir2}, {ch3, dir3}, {ch4, dir4}});
}

// Linear interpolation.
DRAVIK_API int DRAVIK_CALL con_line2(int CHx, int32_t pos1, int CHy, int32_t pos2) {
    return line(kConstant, {{CHx, pos1}, {CHy, pos2}});
}
DRAVIK_API int DRAVIK_CALL con_line3(int CHx, int32_t pos1, int CHy, int32_t pos2, int CHz,
                                     int32_t pos3) {
    return line(kConstant, {{CHx, pos1}, {CHy, pos2}, {CHz, pos3}});
}
DRAVIK_API int DRAVIK_CALL con_line4(int ch1, int32_t pos1, int ch2, int32_t pos2, int ch3,
                                     int32_t pos3, int ch4, int32_t pos4) {
    return line(kConstant, {{ch1, pos1}, {ch2, pos2}, {ch3, pos3}, {ch4, pos4}});
}
DRAVIK_API int DRAVIK_CALL fast_line2(int ch1, int32_t pos1, int ch2, int32_t pos2) {
    return line(kRamped, {{ch1, pos1}, {ch2, pos2}});
}
DRAVIK_API int DRAVIK_CALL fast_line3(int ch1, int32_t pos1, int ch2, int32_t pos2, int ch3,
                                      int32_t pos3) {
    return line(kRamped, {{ch1, pos1}, {ch2, pos2}, {ch3, pos3}});
}
DRAVIK_API int DRAVIK_CALL fast_line4(int ch1, int32_t pos1, int ch2, int32_t pos2, int ch3,
                                      int32_t pos3, int ch4, int32_t pos4) {
    return line(kRamped, {{ch1, pos1}, {ch2, pos2}, {ch3, pos3}, {ch4, pos4}});
}

// Stops.
DRAVIK_API int DRAVIK_CALL sudden_stop(int ch) { return stop(kSudden, {ch}); }
DRAVIK_API int DRAVIK_CALL sudden_stop2(int ch1, int ch2) { return stop(kSudden, {ch1, ch2}); }
DRAVIK_API int DRAVIK_CALL sudden_stop3(int ch1, int ch2, int ch3) {
    return stop(kSudden, {ch1, ch2, ch3});
}
DRAVIK_API int DRAVIK_CALL sudden_stop4(int ch1, int ch2, int ch3, int ch4) {
    return stop(kSudden, {ch1, ch2, ch3, ch4});
}
DRAVIK_API int DRAVIK_CALL decel_stop(int ch) { return stop(kDecel, {ch}); }
DRAVIK_API int DRAVIK_CALL decel_stop2(int ch1, int ch2) { return stop(kDecel, {ch1, ch2}); }
DRAVIK_API int DRAVIK_CALL decel_stop3(int ch1, int ch2, int ch3) {
    return stop(kDecel, {ch1, ch2, ch3});
}
DRAVIK_API int DRAVIK_CALL decel_stop4(int ch1, int ch2, int ch3, int ch4) {
    return stop(kDecel, {ch1, ch2, ch3, ch4});
}

// On-the-fly changes.
DRAVIK_API int DRAVIK_CALL change_pos(int ch, int32_t pos) {
    return dravik::exported([&](Library& lib) { return dravik::change_pos(lib, ch, pos); });
}
DRAVIK_API int DRAVIK_CALL change_speed(int ch, double speed) {
    return dravik::exported([&](Library& lib) { return dravik::change_speed(lib, ch, speed); });
}
DRAVIK_API int DRAVIK_CALL change_accel(int ch, double accel) {
    return dravik::exported([&](Library& lib) { return dravik::change_accel(lib, ch, accel); });
}

}  // extern "C"
