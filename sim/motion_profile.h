// Speed profiles of one axis move: constant speed, and ramps that accelerate from the current
// speed towards the top speed, cruise, and decelerate to the low speed exactly where the move's
// distance ends (trapezoid, or triangle when the distance is too short to reach the top speed).
// A profile is planned from the axis's state at one instant; every change to a running move
// (new distance, speed, acceleration, a decelerating stop, the slow-down input) plans a new
// profile from the speed and distance reached at that instant, so the motion stays continuous.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace dravik::sim {

constexpr double kInfinite = std::numeric_limits<double>::infinity();

// One piece of a profile: constant acceleration `accel` (negative: braking) for `duration` seconds
// starting at speed `v0`.
struct Segment {
    double duration = 0.0;
    double v0 = 0.0;
    double accel = 0.0;

    double distance_at(double t) const { return v0 * t + 0.5 * accel * t * t; }
    double distance() const { return distance_at(duration); }
    double end_speed() const { return v0 + accel * duration; }
};

// A planned profile: up to three segments, then either the end of the move (finite distance) or
// cruising on at the last speed for ever (endless moves).
class Profile {
public:
    // Distance (pulses, >= 0) covered `t` seconds after the plan's start.
    double distance_at(double t) const;
    // Speed (pulses/s) `t` seconds after the plan's start; 0 once the move has ended.
    double speed_at(double t) const;
    // Seconds from the plan's start to the end of the move; infinite for endless profiles.
    double duration() const { return duration_; }
    bool endless() const { return endless_; }
    // Distance the plan covers in total (infinite for endless profiles).
    double distance() const { return distance_; }

    // Plans a move at constant speed `v` (> 0) over `distance` (may be kInfinite).
    static Profile constant(double v, double distance);

    // Plans a ramped move starting at speed `v0` over `distance` (may be kInfinite), towards the
    // top speed `v_top`, ending at `v_end` (the low speed) when the distance is used up. `accel`
    // and `decel` are > 0. When the distance is too short to brake from `v0` to `v_end` at
    // `decel`, the braking is made just strong enough to end exactly on the distance: a move
    // never runs past its end.
    static Profile ramped(double v0, double distance, double v_top, double v_end, double accel,
                          double decel);

private:
    void add(double duration, double v0, double accel);
    void finish(bool endless, double cruise_speed);

    std::array<Segment, 3> segments_{};
    int count_ = 0;
    bool endless_ = false;
    double cruise_speed_ = 0.0;  // speed after the last segment of an endless profile
    double duration_ = 0.0;
    double distance_ = 0.0;
};

// Duration in seconds of a symmetric ramped move of `distance` pulses from `start_speed` up to at
// most `high_speed` and back at `accel`: the closed form the library uses for ramped line moves.
double ramped_move_time(double distance, double start_speed, double high_speed, double accel);

}  // namespace dravik::sim
