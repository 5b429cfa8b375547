// Exported calls: positions, status and the command counter.
#include "dravik/dravik.h"
#include "exports/export_support.h"
#include "status/status.h"

using dravik::exported;
using dravik::Library;

extern "C" {

DRAVIK_API int DRAVIK_CALL get_abs_pos(int ch, int32_t* abs_pos) {
    return exported([&](Library& l) { return dravik::get_abs_pos(l, ch, abs_pos); });
}
DRAVIK_API int DRAVIK_CALL get_rel_pos(int ch, int32_t* rel_pos) {
    return exported([&](Library& l) { return dravik::get_rel_pos(l, ch, rel_pos); });
}
DRAVIK_API int DRAVIK_CALL get_encoder(int ch, int32_t* en_pos) {
    return exported([&](Library& l) { return dravik::get_encoder(l, ch, en_pos); });
}
DRAVIK_API int DRAVIK_CALL get_cur_dir(int ch) {
    return exported([&](Library& l) { return dravik::get_cur_dir(l, ch); });
}
DRAVIK_API int DRAVIK_CALL check_status(int ch) {
    return exported([&](Library& l) { return dravik::check_status(l, ch); });
}
DRAVIK_API int DRAVIK_CALL check_done(int ch) {
    return exported([&](Library& l) { return dravik::check_done(l, ch); });
}
DRAVIK_API int DRAVIK_CALL check_limit(int ch) {
    return exported([&](Library& l) { return dravik::check_limit(l, ch); });
}
DRAVIK_API int DRAVIK_CALL check_home(int ch) {
    return exported([&](Library& l) { return dravik::check_home(l, ch); });
}
DRAVIK_API int DRAVIK_CALL check_SD(int ch) {
    return exported([&](Library& l) { return dravik::check_SD(l, ch); });
}
DRAVIK_API int DRAVIK_CALL check_alarm(int ch) {
    return exported([&](Library& l) { return dravik::check_alarm(l, ch); });
}
DRAVIK_API int DRAVIK_CALL set_abs_pos(int ch, int32_t pos) {
    return exported([&](Library& l) { return dravik::set_abs_pos(l, ch, pos); });
}
DRAVIK_API int DRAVIK_CALL reset_pos(int ch) {
    return exported([&](Library& l) { return dravik::reset_pos(l, ch); });
}
DRAVIK_API int DRAVIK_CALL reset_enc_pos(int ch) {
    return exported([&](Library& l) { return dravik::reset_enc_pos(l, ch); });
}
DRAVIK_API int DRAVIK_CALL get_cmd_counter(void) {
    return exported([&](Library& l) { return dravik::get_cmd_counter(l); });
}
DRAVIK_API int DRAVIK_CALL set_cmd_counter(int value) {
    return exported([&](Library& l) { return dravik::set_cmd_counter(l, value); });
}
DRAVIK_API int DRAVIK_CALL reset_cmd_counter(void) {
    return exported([&](Library& l) { return dravik::reset_cmd_counter(l); });
}

}  // extern "C"
