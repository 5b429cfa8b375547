#include "motion_profile.h"

#include <algorithm>
#include <cmath>

namespace dravik::sim {

void Profile::add(double duration, double v0, double accel) {
    if (!(duration > 0.0)) return;
    segments_[static_cast<size_t>(count_++)] = Segment{duration, v0, accel};
}

void Profile::finish(bool endless, double cruise_speed) {
    endless_ = endless;
    cruise_speed_ = cruise_speed;
    duration_ = 0.0;
    distance_ = 0.0;
    for (int i = 0; i < count_; ++i) {
        duration_ += segments_[static_cast<size_t>(i)].duration;
        distance_ += segments_[static_cast<size_t>(i)].distance();
    }
    if (endless_) {
        duration_ = kInfinite;
        distance_ = kInfinite;
    }
}

double Profile::distance_at(double t) const {
    if (!(t > 0.0)) return 0.0;
    double covered = 0.0;
    for (int i = 0; i < count_; ++i) {
        const Segment& s = segments_[static_cast<size_t>(i)];
        if (t < s.duration) return covered + s.distance_at(t);
        covered += s.distance();
        t -= s.duration;
    }
    return endless_ ? covered + cruise_speed_ * t : covered;
}

double Profile::speed_at(double t) const {
    if (t < 0.0) t = 0.0;
    for (int i = 0; i < count_; ++i) {
        const Segment& s = segments_[static_cast<size_t>(i)];
        if (t < s.duration) return s.v0 + s.accel * t;
        t -= s.duration;
    }
    return endless_ ? cruise_speed_ : 0.0;
}

Profile Profile::constant(double v, double distance) {
    Profile p;
    if (std::isinf(distance)) {
        p.finish(true, v);
    } else {
        p.add(distance / v, v, 0.0);
        p.finish(false, 0.0);
    }
    return p;
}

Profile Profile::ramped(double v0, double distance, double v_top, double v_end, double accel,
                        double decel) {
    Profile p;
    v_end = std::min(v_end, v_top);
    if (std::isinf(distance)) {
        if (v0 < v_top) {
            p.add((v_top - v0) / accel, v0, accel);
        } else if (v0 > v_top) {
            p.add((v0 - v_top) / decel, v0, -decel);
        }
        p.finish(true, v_top);
        return p;
    }
    if (!(distance > 0.0)) {
        p.finish(false, 0.0);
        return p;
    }
    const double brake = v0 > v_end ? (v0 * v0 - v_end * v_end) / (2.0 * decel) : 0.0;
    if (brake >= distance) {
        // Too close to the end to brake at `decel`: brake harder, ending exactly on the distance.
        const double rate = (v0 * v0 - v_end * v_end) / (2.0 * distance);
        p.add((v0 - v_end) / rate, v0, -rate);
        p.finish(false, 0.0);
        return p;
    }
    if (v0 > v_top) {
        // Slower top speed than the current speed: brake to it, cruise, brake to the end speed.
        const double first = (v0 * v0 - v_top * v_top) / (2.0 * decel);
        const double last = (v_top * v_top - v_end * v_end) / (2.0 * decel);
        p.add((v0 - v_top) / decel, v0, -decel);
        p.add((distance - first - last) / v_top, v_top, 0.0);
        p.add((v_top - v_end) / decel, v_top, -decel);
        p.finish(false, 0.0);
        return p;
    }
    // Peak speed where accelerating from v0 and braking to v_end use exactly the distance.
    const double peak_sq =
        (2.0 * accel * decel * distance + decel * v0 * v0 + accel * v_end * v_end) /
        (accel + decel);
    const double peak = std::max(v0, std::min(v_top, std::sqrt(peak_sq)));
    const double up = (peak * peak - v0 * v0) / (2.0 * accel);
    const double down = (peak * peak - v_end * v_end) / (2.0 * decel);
    p.add((peak - v0) / accel, v0, accel);
    if (peak > 0.0) p.add((distance - up - down) / peak, peak, 0.0);
    p.add((peak - v_end) / decel, peak, -decel);
    p.finish(false, 0.0);
    return p;
}

double ramped_move_time(double distance, double start_speed, double high_speed, double accel) {
    const double vl = start_speed;
    const double vh = high_speed;
    const double a = accel;
    const double t_ramp = (vh - vl) / a;
    const double s_ramp = (vh - vl) * (vh + vl) / a / 2.0;
    const double t_flat = (distance - 2.0 * s_ramp) / vh;
    if (t_flat > 0.0) return 2.0 * t_ramp + t_flat;
    return (2.0 * std::sqrt(vl * vl + distance * a) - 2.0 * vl) / a;
}

}  // namespace dravik::sim
