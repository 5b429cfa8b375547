// Exported calls: speed and profile settings.
#include "dravik/dravik.h"
#include "exports/export_support.h"
#include "motion/speed.h"

using dravik::exported;
using dravik::Library;

extern "C" {

DRAVIK_API int DRAVIK_CALL set_maxspeed(int ch, double speed) {
    return exported([&](Library& l) { return dravik::set_maxspeed(l, ch, speed); });
}
DRAVIK_API int DRAVIK_CALL set_conspeed(int ch, double conspeed) {
    return exported([&](Library& l) { return dravik::set_conspeed(l, ch, conspeed); });
}
DRAVIK_API double DRAVIK_CALL get_conspeed(int ch) {
    return exported([&](Library& l) { return dravik::get_conspeed(l, ch); });
}
DRAVIK_API int DRAVIK_CALL set_profile(int ch, double ls, double hs, double accel) {
    return exported([&](Library& l) { return dravik::set_profile(l, ch, ls, hs, accel); });
}
DRAVIK_API int DRAVIK_CALL get_profile(int ch, double* ls, double* hs, double* accel) {
    return exported([&](Library& l) { return dravik::get_profile(l, ch, ls, hs, accel); });
}
DRAVIK_API double DRAVIK_CALL get_rate(int ch) {
    return exported([&](Library& l) { return dravik::get_rate(l, ch); });
}
DRAVIK_API int DRAVIK_CALL set_vector_conspeed(double conspeed) {
    return exported([&](Library& l) { return dravik::set_vector_conspeed(l, conspeed); });
}
DRAVIK_API int DRAVIK_CALL set_vector_profile(double vec_vl, double vec_vh, double vec_ad) {
    return exported(
        [&](Library& l) { return dravik::set_vector_profile(l, vec_vl, vec_vh, vec_ad); });
}
DRAVIK_API double DRAVIK_CALL get_vector_conspeed(void) {
    return exported([&](Library& l) { return dravik::get_vector_conspeed(l); });
}
DRAVIK_API int DRAVIK_CALL get_vector_profile(double* vec_vl, double* vec_vh, double* vec_ad) {
    return exported(
        [&](Library& l) { return dravik::get_vector_profile(l, vec_vl, vec_vh, vec_ad); });
}

}  // extern "C"
