#include "catalogue.h"

#include "conversions.h"

#include <type_traits>

namespace dravik::console {

namespace {

// ---- Argument slots -------------------------------------------------------------------------
constexpr ArgSlot I(uint8_t n) { return {ArgKind::Int, n}; }
constexpr ArgSlot D(uint8_t n) { return {ArgKind::Real, n}; }
constexpr ArgSlot B(uint8_t n) { return {ArgKind::Byte, n}; }
constexpr ArgSlot O(uint8_t n) { return {ArgKind::Out, n}; }
constexpr ArgSlot RO(uint8_t n) { return {ArgKind::RealOut, n}; }

// The argument a slot passes, with the type its kind gives it.
template <ArgSlot S>
auto argument(CallSlots& s) {
    if constexpr (S.kind == ArgKind::Int) {
        return s.p[S.index - 1];
    } else if constexpr (S.kind == ArgKind::Real) {
        return static_cast<double>(s.p[S.index - 1]); // exact: every int32 is a double
    } else if constexpr (S.kind == ArgKind::Byte) {
        return static_cast<unsigned char>(static_cast<uint32_t>(s.p[S.index - 1]) & 0xFFu);
    } else if constexpr (S.kind == ArgKind::Out) {
        return &s.p[S.index - 1];
    } else {
        return &s.r[S.index - 1];
    }
}

// Calls `Member` of the table with the slots' arguments; the return value is kept as it came
// (an integer, or a double for the speed calls).
template <auto Member, ArgSlot... S>
FormatArg invoke(const LibraryApi& api, CallSlots& slots) {
    const auto fn = api.*Member;
    using Result = decltype(fn(argument<S>(slots)...));
    static_assert(std::is_same_v<Result, int> || std::is_same_v<Result, double>);
    return FormatArg{fn(argument<S>(slots)...)};
}

// ---- What a row shows -------------------------------------------------------------------------
constexpr ShownValue P(uint8_t n) { return {ValueSource::Param, n}; }
constexpr ShownValue R(uint8_t n) { return {ValueSource::RealSlotTruncated, n}; }
constexpr ShownValue ret{ValueSource::Return, 0};
constexpr ShownValue ret_truncated{ValueSource::ReturnTruncated, 0};

template <class... V>
constexpr MessageSpec message(const char* format, V... values) {
    static_assert(sizeof...(V) <= 4);
    return MessageSpec{format, {values...}, static_cast<uint8_t>(sizeof...(V))};
}
template <class... V>
constexpr RowDisplay before(const char* format, V... values) {
    RowDisplay d;
    d.before = message(format, values...);
    return d;
}
template <class... V>
constexpr RowDisplay after(const char* format, V... values) {
    RowDisplay d;
    d.after = message(format, values...);
    return d;
}
// check_done: one text for a moving axis (1), one for an axis at rest (0), an empty box otherwise.
constexpr RowDisplay moving_or_at_rest(const char* moving, const char* at_rest, ShownValue v) {
    RowDisplay d = after(moving, v);
    d.at_rest_format = at_rest;
    return d;
}
constexpr CellWrite cell(uint8_t n, ShownValue v, const char* format = "%d") { return {n, v, format}; }
template <class... C>
constexpr RowDisplay cells(C... c) {
    RowDisplay d;
    d.cells = {c...};
    d.cell_count = static_cast<uint8_t>(sizeof...(C));
    return d;
}
constexpr RowDisplay also_into(uint8_t param, RowDisplay d) {
    d.result_to_param = param;
    return d;
}

template <auto Member, ArgSlot... S>
constexpr CatalogueRow row(int index, const char* prototype, RowDisplay display = {},
                           const char* call = nullptr) {
    return CatalogueRow{index, prototype, call, {S...}, static_cast<uint8_t>(sizeof...(S)), display,
                        &invoke<Member, S...>};
}

using A = LibraryApi;

// clang-format off
constexpr std::array<CatalogueRow, catalogue_rows> rows{{
    row<&A::get_max_axe>(0, "get_max_axe()", after("板卡总轴数--%d", ret)),
    row<&A::get_board_num>(1, "get_board_num()", after("板卡数--%d", ret)),
    row<&A::get_axe, I(1)>(2, "get_axe(int board_no)", after("板卡 %d 轴数--%d", P(1), ret)),
    row<&A::set_outmode, I(1), I(2), I(3)>(3, "set_outmode(int ch,int mode,int outlogic)", before("set_outmode(%d,%d,%d)", P(1), P(2), P(3))),
    row<&A::set_home_mode, I(1), I(2)>(4, "set_home_mode(int ch,int home_mode)", before("set_home_mode(%d,%d)", P(1), P(2))),
    row<&A::set_maxspeed, I(1), D(2)>(5, "set_maxspeed(int ch,double speed)", before("执行set_maxspeed(%d,%d)", P(1), P(2))),
    row<&A::set_conspeed, I(1), D(2)>(6, "set_conspeed(int ch,double conspeed)", before("执行set_conspeed(%d,%d)", P(1), P(2))),
    row<&A::get_conspeed, I(1)>(7, "get_conspeed(int ch)", after("设置的常速度=%ld", ret_truncated)),
    row<&A::set_profile, I(1), D(2), D(3), D(4)>(8, "set_profile(int ch,double ls,double hs,double accel)", before("执行set_profile(%d,%d,%d,%d)", P(1), P(2), P(3), P(4))),
    row<&A::get_profile, I(1), RO(1), RO(2), RO(3)>(9, "get_profile(int ch,int *ls,int *hs,long *accel)", cells(cell(1, R(1)), cell(2, R(2)), cell(3, R(3)))),
    row<&A::get_rate, I(1)>(10, "get_rate(int ch)", after("轴%d当前运行速度=%f", P(1), ret)),
    row<&A::con_pmove, I(1), I(2)>(11, "con_pmove(int ch,long step)"),
    row<&A::fast_pmove, I(1), I(2)>(12, "fast_pmove(int ch,long step)"),
    row<&A::con_pmove2, I(1), I(2), I(3), I(4)>(13, "con_pmove2(int ch1,long step1,int ch2,long step2)"),
    row<&A::fast_pmove2, I(1), I(2), I(3), I(4)>(14, "fast_pmove2(int ch1,long step1,int ch2,long step2)"),
    row<&A::con_pmove3, I(1), I(2), I(3), I(4), I(5), I(6)>(15, "con_pmove3(int ch1,long step1,int ch2,long step2,int ch3,long step3)"),
    row<&A::fast_pmove3, I(1), I(2), I(3), I(4), I(5), I(6)>(16, "fast_pmove3(int ch1,long step1,int ch2,long step2,int ch3,long step3)"),
    row<&A::con_vmove, I(1), I(2)>(17, "con_vmove(int ch,int dir)"),
    row<&A::fast_vmove, I(1), I(2)>(18, "fast_vmove(int ch,int dir)"),
    row<&A::con_vmove2, I(1), I(2), I(3), I(4)>(19, "con_vmove2(int ch1,int dir1,int ch2,int dir2)"),
    row<&A::fast_vmove2, I(1), I(2), I(3), I(4)>(20, "fast_vmove2(int ch1,int dir1,int ch2,int dir2)"),
    row<&A::con_vmove3, I(1), I(2), I(3), I(4), I(5), I(6)>(21, "con_vmove3(int ch1,int dir1,int ch2,int dir2,int ch3,int dir3)"),
    row<&A::fast_vmove3, I(1), I(2), I(3), I(4), I(5), I(6)>(22, "fast_vmove3(int ch1,int dir1,int ch2,int dir2,int ch3,int dir3)"),
    row<&A::con_hmove, I(1), I(2)>(23, "con_hmove(int ch,int dir)"),
    row<&A::fast_hmove, I(1), I(2)>(24, "fast_hmove(int ch,int dir)"),
    row<&A::con_hmove2, I(1), I(2), I(3), I(4)>(25, "con_hmove2(int ch1,int dir1,int ch2,int dir2)"),
    row<&A::fast_hmove2, I(1), I(2), I(3), I(4)>(26, "fast_hmove2(int ch1,int dir1,int ch2,int dir2)"),
    row<&A::con_hmove3, I(1), I(2), I(3), I(4), I(5), I(6)>(27, "con_hmove3(int ch1,int dir1,int ch2,int dir2,int ch3,int dir3)"),
    row<&A::fast_hmove3, I(1), I(2), I(3), I(4), I(5), I(6)>(28, "fast_hmove3(int ch1,int dir1,int ch2,int dir2,int ch3,int dir3)"),
    row<&A::set_vector_conspeed, D(1)>(29, "set_vector_conspeed(double conspeed)", before("执行set_vector_conspeed(%d)", P(1))),
    row<&A::set_vector_profile, D(1), D(2), D(3)>(30, "set_vector_profile(double vec_vl , double vec_vh ,double vec_ad)", before("执行set_vector_profile(%d,%d,%d)", P(1), P(2), P(3))),
    row<&A::get_vector_conspeed>(31, "get_vector_conspeed()", after("设置的矢量速度=%f", ret)),
    row<&A::get_vector_profile, RO(1), RO(2), RO(3)>(32, "get_vector_profile(double *vec_vl , double *vec_vh ,double *vec_ad)", cells(cell(1, R(1)), cell(2, R(2)), cell(3, R(3)))),
    row<&A::con_line2, I(1), I(2), I(3), I(4)>(33, "con_line2(int CHx,long pos1,int CHy, long pos2)"),
    row<&A::con_line3, I(1), I(2), I(3), I(4), I(5), I(6)>(34, "con_line3(int CHx,long pos1,int CHy,long pos2,int CHz,long pos3)"),
    row<&A::fast_line2, I(1), I(2), I(3), I(4)>(35, "fast_line2(int ch1,long pos1,int ch2,long pos2)"),
    row<&A::fast_line3, I(1), I(2), I(3), I(4), I(5), I(6)>(36, "fast_line3(int ch1,long pos1,int ch2,long pos2,int ch3,long pos3)"),
    row<&A::set_abs_pos, I(1), I(2)>(37, "set_abs_pos(int ch,long pos)"),
    row<&A::reset_pos, I(1)>(38, "reset_pos(int ch)"),
    row<&A::reset_cmd_counter>(39, "reset_cmd_counter()"),
    row<&A::set_getpos_mode, I(1), I(2)>(40, "set_getpos_mode(int ch,int mode)"),
    row<&A::set_encoder_mode, I(1), I(2), I(3), I(4)>(41, "set_encoder_mode(int ch,int mode,int multip,int count_unit)"),
    row<&A::set_dir, I(1), I(2)>(42, "set_dir(int ch,int dir)"),
    row<&A::enable_sd, I(1), I(2)>(43, "enable_sd(int ch,int flag)"),
    row<&A::enable_el, I(1), I(2)>(44, "enable_el(int ch,int flag)"),
    row<&A::enable_org, I(1), I(2)>(45, "enable_org(int ch,int flag)"),
    row<&A::set_sd_logic, I(1), I(2)>(46, "set_sd_logic(int ch,int flag)", before("执行set_sd_logic(%d,%d)", P(1), P(2))),
    row<&A::set_el_logic, I(1), I(2)>(47, "set_el_logic(int ch,int flag)", before("执行set_el_logic(%d,%d)", P(1), P(2))),
    row<&A::set_org_logic, I(1), I(2)>(48, "set_org_logic(int ch,int flag)", before("执行set_org_logic(%d,%d)", P(1), P(2))),
    row<&A::set_alm_logic, I(1), I(2)>(49, "set_alm_logci(int ch,int flag)", before("执行set_alm_logic(%d,%d)", P(1), P(2)), "set_alm_logic"),
    row<&A::get_abs_pos, I(1), O(2)>(50, "get_abs_pos(int ch,long *abs_pos)", cells(cell(2, P(2)))),
    row<&A::get_rel_pos, I(1), O(2)>(51, "get_rel_pos(int ch,long *rel_pos)", cells(cell(2, P(2)))),
    row<&A::get_encoder, I(1), O(2)>(52, "get_encoder(int ch, long *en_pos)", cells(cell(2, P(2)))),
    row<&A::get_cur_dir, I(1)>(53, "get_cur_dir(int ch)", after("当前运动方向=%d", ret)),
    row<&A::check_status, I(1)>(54, "check_status(int ch)", after("status=%x", ret)),
    row<&A::check_done, I(1)>(55, "check_done(int ch)", moving_or_at_rest("轴%d正在运动", "轴%d停止运动", P(1))),
    row<&A::check_limit, I(1)>(56, "check_limit(int ch)", after("iRtn=%d", ret)),
    row<&A::check_home, I(1)>(57, "check_home(int ch)", after("iRtn=%d", ret)),
    row<&A::check_SD, I(1)>(58, "check_SD(int ch)", after("iRtn=%d", ret)),
    row<&A::check_alarm, I(1)>(59, "check_alarm(int ch)", after("iRtn=%d", ret)),
    row<&A::get_cmd_counter>(60, "get_cmd_counter()", after("iRtn=%d", ret)),
    row<&A::checkin_byte, I(1)>(61, "checkin_byte(int cardno)", cells(cell(2, ret, "0x%x"))),
    row<&A::checkin_bit, I(1), I(2)>(62, "checkin_bit(int cardno,int bitno)", cells(cell(3, ret))),
    row<&A::outport_bit, I(1), I(2), I(3)>(63, "outport_bit(int cardno,int bitno,int status)"),
    row<&A::outport_byte, I(1), I(2)>(64, "outport_byte(int cardno,int bytedata)"),
    row<&A::check_SFR, I(1)>(65, "check_SFR(int cardno)", cells(cell(2, ret, "0x%x"))),
    row<&A::set_backlash, I(1), I(2)>(66, "set_backlash(int ch,int backlash)"),
    row<&A::start_backlash, I(1)>(67, "start_backlash(int ch)"),
    row<&A::end_backlash, I(1)>(68, "end_backlash(int ch)"),
    row<&A::change_speed, I(1), D(2)>(69, "change_speed(int ch,double speed)"),
    row<&A::change_accel, I(1), D(2)>(70, "change_accel(int ch,double accel)"),
    row<&A::Outport, I(1), B(2)>(71, "Outport(int portid,unsigned char byte)"),
    row<&A::Inport, I(1)>(72, "Inport(int portid)", also_into(2, cells(cell(2, ret)))),
    row<&A::set_ramp_flag, I(1)>(73, "set_ramp_flag(int flag)"),
    row<&A::enable_io_pos, I(1), I(2)>(74, "enable_io_pos(int cardno,int flag)"),
    row<&A::set_io_pos, I(1), I(2), I(3)>(75, "set_io_pos(int ch,int open_pos,int close_pos)"),
    row<&A::get_lib_ver, O(1), O(2), O(3)>(76, "get_lib_ver(int* major,int *minor1,int *minor2)", cells(cell(1, P(1)), cell(2, P(2)), cell(3, P(3)))),
    row<&A::get_sys_ver, O(1), O(2), O(3)>(77, "get_sys_ver(int* major,int *minor1,int *minor2)", cells(cell(1, P(1)), cell(2, P(2)), cell(3, P(3)))),
    row<&A::get_card_ver, I(1), O(2), O(3), O(4), O(5)>(78, "get_card_ver(long cardno,long *type,long* major,long *minor1,long *minor2)", cells(cell(2, P(2)), cell(3, P(3)), cell(4, P(4)), cell(5, P(5)))),
}};
// clang-format on

constexpr bool rows_in_order() {
    for (int i = 0; i < catalogue_rows; ++i)
        if (rows[static_cast<std::size_t>(i)].index != i) return false;
    return true;
}
static_assert(rows_in_order(), "row n of the catalogue must sit at index n");

constexpr std::array<ColumnSpec, 8> columns{{
    {"函数", 300},
    {"参数1", 80}, {"参数2", 80}, {"参数3", 80}, {"参数4", 80},
    {"参数5", 80}, {"参数6", 80}, {"参数7", 80},
}};

} // namespace

std::span<const CatalogueRow, catalogue_rows> catalogue() noexcept { return rows; }

std::string_view call_name(const CatalogueRow& row) noexcept {
    if (row.call != nullptr) return row.call;
    const std::string_view text = row.prototype;
    return text.substr(0, text.find('('));
}

std::span<const ColumnSpec, 8> catalogue_columns() noexcept { return columns; }

} // namespace dravik::console
