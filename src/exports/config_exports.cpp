// Exported axis configuration calls: each takes the library lock and forwards.
#include "axis/config.h"
#include "dravik/dravik.h"
#include "exports/export_support.h"

using dravik::exported;
using dravik::Library;

extern "C" {

DRAVIK_API int DRAVIK_CALL set_outmode(int ch, int mode, int outlogic) {
    return exported([&](Library& lib) { return dravik::set_outmode(lib, ch, mode, outlogic); });
}
DRAVIK_API int DRAVIK_CALL set_dir(int ch, int dir) {
    return exported([&](Library& lib) { return dravik::set_dir(lib, ch, dir); });
}
DRAVIK_API int DRAVIK_CALL set_home_mode(int ch, int home_mode) {
    return exported([&](Library& lib) { return dravik::set_home_mode(lib, ch, home_mode); });
}
DRAVIK_API int DRAVIK_CALL enable_sd(int ch, int flag) {
    return exported([&](Library& lib) { return dravik::enable_sd(lib, ch, flag); });
}
DRAVIK_API int DRAVIK_CALL enable_el(int ch, int flag) {
    return exported([&](Library& lib) { return dravik::enable_el(lib, ch, flag); });
}
DRAVIK_API int DRAVIK_CALL enable_org(int ch, int flag) {
    return exported([&](Library& lib) { return dravik::enable_org(lib, ch, flag); });
}
DRAVIK_API int DRAVIK_CALL set_sd_logic(int ch, int flag) {
    return exported([&](Library& lib) { return dravik::set_sd_logic(lib, ch, flag); });
}
DRAVIK_API int DRAVIK_CALL set_el_logic(int ch, int flag) {
    return exported([&](Library& lib) { return dravik::set_el_logic(lib, ch, flag); });
}
DRAVIK_API int DRAVIK_CALL set_org_logic(int ch, int flag) {
    return exported([&](Library& lib) { return dravik::set_org_logic(lib, ch, flag); });
}
DRAVIK_API int DRAVIK_CALL set_alm_logic(int ch, int flag) {
    return exported([&](Library& lib) { return dravik::set_alm_logic(lib, ch, flag); });
}
DRAVIK_API int DRAVIK_CALL set_encoder_mode(int ch, int mode, int multip, int count_unit) {
    return exported(
        [&](Library& lib) { return dravik::set_encoder_mode(lib, ch, mode, multip, count_unit); });
}
DRAVIK_API int DRAVIK_CALL set_getpos_mode(int ch, int mode) {
    return exported([&](Library& lib) { return dravik::set_getpos_mode(lib, ch, mode); });
}
DRAVIK_API int DRAVIK_CALL set_io_pos(int ch, int open_pos, int close_pos) {
    return exported([&](Library& lib) { return dravik::set_io_pos(lib, ch, open_pos, close_pos); });
}
DRAVIK_API int DRAVIK_CALL enable_io_pos(int cardno, int flag) {
    return exported([&](Library& lib) { return dravik::enable_io_pos(lib, cardno, flag); });
}
DRAVIK_API int DRAVIK_CALL set_backlash(int ch, int backlash) {
    return exported([&](Library& lib) { return dravik::set_backlash(lib, ch, backlash); });
}
DRAVIK_API int DRAVIK_CALL start_backlash(int ch) {
    return exported([&](Library& lib) { return dravik::start_backlash(lib, ch); });
}
DRAVIK_API int DRAVIK_CALL end_backlash(int ch) {
    return exported([&](Library& lib) { return dravik::end_backlash(lib, ch); });
}
DRAVIK_API int DRAVIK_CALL set_ramp_flag(int flag) {
    return exported([&](Library& lib) { return dravik::set_ramp_flag(lib, flag); });
}

}  // extern "C"
