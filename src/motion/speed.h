// Speed conversion: the per-axis speed unit (rate) and register values of speeds and
// accelerations, and the exported speed settings.
#pragma once

#include <cstdint>

#include "core/library.h"

namespace dravik {

constexpr double kMaxSpeedLimit = 8200000.0;
constexpr double kMinMaxSpeed = 81.91;
constexpr double kAccelTimeBase = 33000000.0;

// half_up(x) = x + 0.5 truncated toward zero, limited to [lo, hi]. Defined for every double:
// NaN gives lo, infinities and huge values the nearer bound. Every double-to-register conversion
// goes through here.
int32_t half_up_limited(double x, int32_t lo, int32_t hi);

void compute_rate(Library& lib, int ch, double speed);
void compute_conspeed_reg(Library& lib, int ch, double speed);
void compute_profile_regs(Library& lib, int ch, double ls, double hs, double accel, double decel);
int store_conspeed(Library& lib, int ch, double speed);               // 0, or 1 busy
int store_profile(Library& lib, int ch, double ls, double hs, double accel);  // 0, or 1 busy
int apply_maxspeed(Library& lib, int ch, double speed);               // 0, or 1 busy

int set_maxspeed(Library& lib, int ch, double speed);
int set_conspeed(Library& lib, int ch, double conspeed);
double get_conspeed(Library& lib, int ch);
int set_profile(Library& lib, int ch, double ls, double hs, double accel);
int get_profile(Library& lib, int ch, double* ls, double* hs, double* accel);
double get_rate(Library& lib, int ch);
int set_vector_conspeed(Library& lib, double conspeed);
int set_vector_profile(Library& lib, double vec_vl, double vec_vh, double vec_ad);
double get_vector_conspeed(Library& lib);
int get_vector_profile(Library& lib, double* vec_vl, double* vec_vh, double* vec_ad);

}  // namespace dravik
