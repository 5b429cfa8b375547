// Point, continuous and home moves of one to four axes: one generic mechanism; the eight members
// of each family differ only in the MoveFamily data they pass.
// Callers hold the library lock.
#pragma once

#include <cstdint>
#include <span>

#include "core/library.h"
#include "motion/move_builder.h"

namespace dravik {

// One axis of a move call: the axis and its step (point moves) or direction (others: above 0
// positive, 0 or below negative).
struct AxisArg {
    int ch;
    int32_t value;
};

// When a move whose every step is 0 returns 0 without doing anything.
enum class ZeroShortcut {
    none,               // no shortcut: four-axis point moves send four blocks of 0 (+ backlash)
    before_validation,  // two- and three-axis point moves: nothing validated, nothing sent
    after_validation,   // one-axis point moves: the axis is validated first
};

struct MoveFamily {
    MoveKind kind;
    bool ramped;
    ZeroShortcut shortcut;
};

// Family data of the exported members. Point moves: the shortcut follows the axis count.
MoveFamily point_family(bool ramped, int axis_count);
MoveFamily velocity_family(bool ramped);
MoveFamily home_family(bool ramped);

// Runs a move call of the family over the axes, in argument order: checks, serial, preparation,
// one block per axis with group_remaining N..1, command_counter, move record. 0 or -1.
//
// Checks, in order, each refusing with nothing sent and nothing changed: validation of every axis
// (first failure); two arguments naming one axis (0x2000017); for point moves a step whose
// compensated distance has no block form, i.e. -2147483648 without backlash to cancel it or a sum
// with the backlash outside 0..2147483647 (0x2000019); the busy test of every axis, all asked
// before any answer is looked at (an axis moving or unreadable: 0x200001E).
int run_move(Library& lib, const MoveFamily& family, std::span<const AxisArg> axes);

// The checks shared with the line moves.
// Validation of every axis in order, then the distinct-axis test. 0 or -1 (reported).
int check_axes_distinct(Library& lib, std::span<const AxisArg> axes);
// Every step's compensated distance fits a block. 0 or -1 (0x2000019 reported).
int check_point_distances(Library& lib, std::span<const AxisArg> axes);
// check_done of every axis, then 0 when all answered 0, else -1 (0x200001E reported).
int check_axes_at_rest(Library& lib, std::span<const AxisArg> axes);

// The exported point moves, also re-issued by the PositionMonitor.
int con_pmove(Library& lib, int ch, int32_t step);
int fast_pmove(Library& lib, int ch, int32_t step);

}  // namespace dravik
