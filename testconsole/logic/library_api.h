// The console's view of the Dravik library: one table of function pointers for the 83 calls the
// console makes (the 79 calls of the function catalogue, plus auto_set, init_board, decel_stop and
// sudden_stop). The program fills it with the library's real exports (library_exports.h); tests
// fill it with recording fakes, so the console logic never links the library itself.
#ifndef DRAVIK_TESTCONSOLE_LIBRARY_API_H
#define DRAVIK_TESTCONSOLE_LIBRARY_API_H

#include <dravik/dravik.h>

namespace dravik::console {

// Every call of the table, once. X(name) receives the exported C name.
#define DRAVIK_CONSOLE_CALLS(X)                                                                    \
    X(auto_set) X(init_board) X(get_max_axe) X(get_board_num) X(get_axe)                           \
    X(set_outmode) X(set_home_mode) X(set_maxspeed) X(set_conspeed) X(get_conspeed)                \
    X(set_profile) X(get_profile) X(get_rate)                                                      \
    X(con_pmove) X(fast_pmove) X(con_pmove2) X(fast_pmove2) X(con_pmove3) X(fast_pmove3)           \
    X(con_vmove) X(fast_vmove) X(con_vmove2) X(fast_vmove2) X(con_vmove3) X(fast_vmove3)           \
    X(con_hmove) X(fast_hmove) X(con_hmove2) X(fast_hmove2) X(con_hmove3) X(fast_hmove3)           \
    X(set_vector_conspeed) X(set_vector_profile) X(get_vector_conspeed) X(get_vector_profile)      \
    X(con_line2) X(con_line3) X(fast_line2) X(fast_line3)                                          \
    X(set_abs_pos) X(reset_pos) X(reset_cmd_counter) X(set_getpos_mode) X(set_encoder_mode)        \
    X(set_dir) X(enable_sd) X(enable_el) X(enable_org)                                             \
    X(set_sd_logic) X(set_el_logic) X(set_org_logic) X(set_alm_logic)                              \
    X(get_abs_pos) X(get_rel_pos) X(get_encoder) X(get_cur_dir) X(check_status) X(check_done)      \
    X(check_limit) X(check_home) X(check_SD) X(check_alarm) X(get_cmd_counter)                     \
    X(checkin_byte) X(checkin_bit) X(outport_bit) X(outport_byte) X(check_SFR)                     \
    X(set_backlash) X(start_backlash) X(end_backlash) X(change_speed) X(change_accel)              \
    X(Outport) X(Inport) X(set_ramp_flag) X(enable_io_pos) X(set_io_pos)                           \
    X(get_lib_ver) X(get_sys_ver) X(get_card_ver)                                                  \
    X(decel_stop) X(sudden_stop)

// The table. Each member has exactly the type of the library export of the same name.
struct LibraryApi {
#define DRAVIK_CONSOLE_MEMBER(name) decltype(&::name) name = nullptr;
    DRAVIK_CONSOLE_CALLS(DRAVIK_CONSOLE_MEMBER)
#undef DRAVIK_CONSOLE_MEMBER

    // True when every entry is set; the console must not run with a hole in the table.
    [[nodiscard]] bool complete() const noexcept {
#define DRAVIK_CONSOLE_SET(name) &&name != nullptr
        return true DRAVIK_CONSOLE_CALLS(DRAVIK_CONSOLE_SET);
#undef DRAVIK_CONSOLE_SET
    }
};

#define DRAVIK_CONSOLE_COUNT(name) +1
inline constexpr int library_api_call_count = 0 DRAVIK_CONSOLE_CALLS(DRAVIK_CONSOLE_COUNT);
#undef DRAVIK_CONSOLE_COUNT
static_assert(library_api_call_count == 83, "the console makes 83 library calls");

} // namespace dravik::console

#endif
