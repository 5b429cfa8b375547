// Every catalogue row run through the dispatcher: the call and its arguments, the messages before
// and after it (in order), and the cells it writes.
#include "console_fixture.h"

#include <cmath>
#include <functional>
#include <limits>
#include <utility>

namespace dravik::console::testing {
namespace {

struct RowCase {
    const char* label;
    int row;
    std::vector<std::string> cells; // typed into cells 1.. before the click
    std::function<void(FakeLibrary&)> answers;
    Log expected_log;               // after the click: messages and calls, in order
    std::vector<std::pair<int, std::string>> expected_cells;
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.label; }

const std::vector<std::string> typed = {"1", "-2", "3", "-4", "5", "-6", "7"};
auto none = [](FakeLibrary&) {};
auto returns(const char* name, int v) {
    return [=](FakeLibrary& f) { f.returns(name, v); };
}
auto returns_real(const char* name, double v) {
    return [=](FakeLibrary& f) { f.returns_real(name, v); };
}

// Rows that only make their call: row, expected call text.
const std::vector<std::pair<int, const char*>> silent_rows = {
    {11, "con_pmove(1,-2)"}, {12, "fast_pmove(1,-2)"},
    {13, "con_pmove2(1,-2,3,-4)"}, {14, "fast_pmove2(1,-2,3,-4)"},
    {15, "con_pmove3(1,-2,3,-4,5,-6)"}, {16, "fast_pmove3(1,-2,3,-4,5,-6)"},
    {17, "con_vmove(1,-2)"}, {18, "fast_vmove(1,-2)"},
    {19, "con_vmove2(1,-2,3,-4)"}, {20, "fast_vmove2(1,-2,3,-4)"},
    {21, "con_vmove3(1,-2,3,-4,5,-6)"}, {22, "fast_vmove3(1,-2,3,-4,5,-6)"},
    {23, "con_hmove(1,-2)"}, {24, "fast_hmove(1,-2)"},
    {25, "con_hmove2(1,-2,3,-4)"}, {26, "fast_hmove2(1,-2,3,-4)"},
    {27, "con_hmove3(1,-2,3,-4,5,-6)"}, {28, "fast_hmove3(1,-2,3,-4,5,-6)"},
    {33, "con_line2(1,-2,3,-4)"}, {34, "con_line3(1,-2,3,-4,5,-6)"},
    {35, "fast_line2(1,-2,3,-4)"}, {36, "fast_line3(1,-2,3,-4,5,-6)"},
    {37, "set_abs_pos(1,-2)"}, {38, "reset_pos(1)"}, {39, "reset_cmd_counter()"},
    {40, "set_getpos_mode(1,-2)"}, {41, "set_encoder_mode(1,-2,3,-4)"}, {42, "set_dir(1,-2)"},
    {43, "enable_sd(1,-2)"}, {44, "enable_el(1,-2)"}, {45, "enable_org(1,-2)"},
    {63, "outport_bit(1,-2,3)"}, {64, "outport_byte(1,-2)"}, {66, "set_backlash(1,-2)"},
    {67, "start_backlash(1)"}, {68, "end_backlash(1)"}, {69, "change_speed(1,-2.0)"},
    {70, "change_accel(1,-2.0)"}, {73, "set_ramp_flag(1)"}, {74, "enable_io_pos(1,-2)"},
    {75, "set_io_pos(1,-2,3)"},
};

std::vector<RowCase> row_cases() {
    std::vector<RowCase> cases = {
        {"0 get_max_axe", 0, typed, returns("get_max_axe", 8), {"get_max_axe()", "msg:板卡总轴数--8"}, {}},
        {"1 get_board_num", 1, typed, returns("get_board_num", 2), {"get_board_num()", "msg:板卡数--2"}, {}},
        {"2 get_axe", 2, typed, returns("get_axe", 4), {"get_axe(1)", "msg:板卡 1 轴数--4"}, {}},
        {"3 set_outmode", 3, typed, none, {"msg:set_outmode(1,-2,3)", "set_outmode(1,-2,3)"}, {}},
        {"4 set_home_mode", 4, typed, none, {"msg:set_home_mode(1,-2)", "set_home_mode(1,-2)"}, {}},
        {"5 set_maxspeed", 5, {"1", "800"}, none, {"msg:执行set_maxspeed(1,800)", "set_maxspeed(1,800.0)"}, {}},
        {"6 set_conspeed", 6, typed, none, {"msg:执行set_conspeed(1,-2)", "set_conspeed(1,-2.0)"}, {}},
        {"7 get_conspeed", 7, typed, returns_real("get_conspeed", 1234.9),
         {"get_conspeed(1)", "msg:设置的常速度=1234"}, {}},
        {"7 get_conspeed negative", 7, typed, returns_real("get_conspeed", -1.0),
         {"get_conspeed(1)", "msg:设置的常速度=-1"}, {}},
        {"7 get_conspeed saturates", 7, typed, returns_real("get_conspeed", 1e12),
         {"get_conspeed(1)", "msg:设置的常速度=2147483647"}, {}},
        {"7 get_conspeed NaN", 7, typed, returns_real("get_conspeed", std::nan("")),
         {"get_conspeed(1)", "msg:设置的常速度=-2147483648"}, {}},
        {"8 set_profile", 8, typed, none,
         {"msg:执行set_profile(1,-2,3,-4)", "set_profile(1,-2.0,3.0,-4.0)"}, {}},
        {"9 get_profile", 9, typed, [](FakeLibrary& f) { f.writes_real("get_profile", {99.9, -0.5, 80000.7}); },
         {"get_profile(1,&R1,&R2,&R3)"}, {{1, "99"}, {2, "0"}, {3, "80000"}, {4, "-4"}}},
        {"9 get_profile failing keeps the slots", 9, typed, returns("get_profile", -1),
         {"get_profile(1,&R1,&R2,&R3)"}, {{1, "0"}, {2, "0"}, {3, "0"}}},
        {"10 get_rate", 10, {"1"}, returns_real("get_rate", 800.0),
         {"get_rate(1)", "msg:轴1当前运行速度=800.000000"}, {}},
        {"29 set_vector_conspeed", 29, typed, none,
         {"msg:执行set_vector_conspeed(1)", "set_vector_conspeed(1.0)"}, {}},
        {"30 set_vector_profile", 30, typed, none,
         {"msg:执行set_vector_profile(1,-2,3)", "set_vector_profile(1.0,-2.0,3.0)"}, {}},
        {"31 get_vector_conspeed", 31, typed, returns_real("get_vector_conspeed", 12.5),
         {"get_vector_conspeed()", "msg:设置的矢量速度=12.500000"}, {}},
        {"32 get_vector_profile", 32, typed,
         [](FakeLibrary& f) { f.writes_real("get_vector_profile", {1.9, 2.1, -3.7}); },
         {"get_vector_profile(&R1,&R2,&R3)"}, {{1, "1"}, {2, "2"}, {3, "-3"}}},
        {"46 set_sd_logic", 46, typed, none, {"msg:执行set_sd_logic(1,-2)", "set_sd_logic(1,-2)"}, {}},
        {"47 set_el_logic", 47, typed, none, {"msg:执行set_el_logic(1,-2)", "set_el_logic(1,-2)"}, {}},
        {"48 set_org_logic", 48, typed, none, {"msg:执行set_org_logic(1,-2)", "set_org_logic(1,-2)"}, {}},
        {"49 shows set_alm_logci, calls set_alm_logic", 49, typed, none,
         {"msg:执行set_alm_logic(1,-2)", "set_alm_logic(1,-2)"}, {}},
        {"50 get_abs_pos", 50, typed, [](FakeLibrary& f) { f.writes("get_abs_pos", {555}); },
         {"get_abs_pos(1,&P2)"}, {{1, "1"}, {2, "555"}, {3, "3"}}},
        {"50 get_abs_pos failing rewrites the old P2", 50, typed, returns("get_abs_pos", -1),
         {"get_abs_pos(1,&P2)"}, {{2, "-2"}}},
        {"51 get_rel_pos", 51, typed, [](FakeLibrary& f) { f.writes("get_rel_pos", {-77}); },
         {"get_rel_pos(1,&P2)"}, {{2, "-77"}}},
        {"52 get_encoder", 52, typed, [](FakeLibrary& f) { f.writes("get_encoder", {123456}); },
         {"get_encoder(1,&P2)"}, {{2, "123456"}}},
        {"53 get_cur_dir", 53, typed, returns("get_cur_dir", -1), {"get_cur_dir(1)", "msg:当前运动方向=-1"}, {}},
        {"54 check_status in hex", 54, typed, returns("check_status", 255), {"check_status(1)", "msg:status=ff"}, {}},
        {"55 check_done moving", 55, {"2"}, returns("check_done", 1), {"check_done(2)", "msg:轴2正在运动"}, {}},
        {"55 check_done at rest", 55, {"2"}, returns("check_done", 0), {"check_done(2)", "msg:轴2停止运动"}, {}},
        {"55 check_done failing", 55, {"2"}, returns("check_done", -1), {"check_done(2)", "msg:"}, {}},
        {"56 check_limit", 56, typed, returns("check_limit", -1), {"check_limit(1)", "msg:iRtn=-1"}, {}},
        {"57 check_home", 57, typed, returns("check_home", 1), {"check_home(1)", "msg:iRtn=1"}, {}},
        {"58 check_SD", 58, typed, returns("check_SD", 0), {"check_SD(1)", "msg:iRtn=0"}, {}},
        {"59 check_alarm", 59, typed, returns("check_alarm", -3), {"check_alarm(1)", "msg:iRtn=-3"}, {}},
        {"60 get_cmd_counter", 60, typed, returns("get_cmd_counter", 17), {"get_cmd_counter()", "msg:iRtn=17"}, {}},
        {"61 checkin_byte", 61, typed, returns("checkin_byte", 0xbeef), {"checkin_byte(1)"}, {{2, "0xbeef"}}},
        {"61 checkin_byte failing", 61, typed, returns("checkin_byte", -1), {"checkin_byte(1)"}, {{2, "0xffffffff"}}},
        {"62 checkin_bit", 62, typed, returns("checkin_bit", 1), {"checkin_bit(1,-2)"}, {{2, "-2"}, {3, "1"}}},
        {"65 check_SFR", 65, typed, returns("check_SFR", 0x7f), {"check_SFR(1)"}, {{2, "0x7f"}}},
        {"71 Outport byte of 300", 71, {"1", "300"}, none, {"Outport(1,(uchar)44)"}, {}},
        {"71 Outport byte of -1", 71, {"1", "-1"}, none, {"Outport(1,(uchar)255)"}, {}},
        {"72 Inport", 72, {"3", "9"}, returns("Inport", 77), {"Inport(3)"}, {{1, "3"}, {2, "77"}}},
        {"76 get_lib_ver", 76, {"x", "y", "z"}, [](FakeLibrary& f) { f.writes("get_lib_ver", {3, 0, 1}); },
         {"get_lib_ver(&P1,&P2,&P3)"}, {{1, "3"}, {2, "0"}, {3, "1"}}},
        {"77 get_sys_ver", 77, typed, [](FakeLibrary& f) { f.writes("get_sys_ver", {3, 0, 0}); },
         {"get_sys_ver(&P1,&P2,&P3)"}, {{1, "3"}, {2, "0"}, {3, "0"}}},
        {"78 get_card_ver", 78, typed, [](FakeLibrary& f) { f.writes("get_card_ver", {0, 2, 2, 0}); },
         {"get_card_ver(1,&P2,&P3,&P4,&P5)"}, {{1, "1"}, {2, "0"}, {3, "2"}, {4, "2"}, {5, "0"}, {6, "-6"}}},
    };
    for (const auto& [row, call] : silent_rows)
        cases.push_back({call, row, typed, none, {call}, {}});
    return cases;
}

class RunRow : public ConsoleFixture, public ::testing::WithParamInterface<RowCase> {};

TEST_P(RunRow, MakesItsCallAndShowsItsResult) {
    const RowCase& c = GetParam();
    c.answers(fake);
    run_row(c.row, c.cells);
    EXPECT_EQ(log, c.expected_log);
    for (const auto& [cell, text] : c.expected_cells)
        EXPECT_EQ(view.cell_text(c.row, cell), text) << "cell " << cell;
}

INSTANTIATE_TEST_SUITE_P(EveryRow, RunRow, ::testing::ValuesIn(row_cases()));

TEST(RowCases, CoverEveryRow) {
    std::vector<bool> seen(catalogue_rows, false);
    for (const RowCase& c : row_cases()) seen[static_cast<std::size_t>(c.row)] = true;
    for (int r = 0; r < catalogue_rows; ++r) EXPECT_TRUE(seen[static_cast<std::size_t>(r)]) << "row " << r;
}

// The "before" message comes first, and the call waits until it is closed: the fake view logs
// the message when show_message is called and returns only afterwards.
TEST_F(ConsoleFixture, BeforeMessageIsClosedBeforeTheCall) {
    run_row(5, {"1", "800"});
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "msg:执行set_maxspeed(1,800)");
    EXPECT_EQ(log[1], "set_maxspeed(1,800.0)");
}

TEST_F(ConsoleFixture, ResultCellsReplaceWhatWasTyped) {
    fake.writes_real("get_profile", {2000.0, 8000.0, 80000.0});
    run_row(9, {"1"});
    EXPECT_EQ(view.cell_text(9, 1), "2000");
    // The low speed now stands where the axis number was typed; the next click loads it as P1.
    console.click(9);
    EXPECT_EQ(console.call_slots().p[0], 2000);
}

TEST_F(ConsoleFixture, InportKeepsTheValueInP2AndReadsTheSamePortAgain) {
    fake.returns_in_turn("Inport", {77, 78});
    run_row(72, {"3"});
    EXPECT_EQ(console.call_slots().p[1], 77);
    EXPECT_EQ(console.call_slots().p[0], 3);
    console.run();
    EXPECT_EQ(log, (Log{"Inport(3)", "Inport(3)"}));
    EXPECT_EQ(view.cell_text(72, 2), "78");
    EXPECT_EQ(console.call_slots().p[1], 78);
}

TEST_F(ConsoleFixture, RunBeforeAnyClickRunsRowZero) {
    fake.returns("get_max_axe", 8);
    console.run();
    EXPECT_EQ(log, (Log{"get_max_axe()", "msg:板卡总轴数--8"}));
}

TEST_F(ConsoleFixture, ClickOnNoRowClearsParametersAndRunDoesNothing) {
    view.fill(12, {"1", "500"});
    console.click(12);
    console.click(-1);
    EXPECT_EQ(console.selected_row(), -1);
    EXPECT_EQ(console.call_slots().p, (std::array<int32_t, 7>{}));
    log.clear();
    console.run();
    EXPECT_TRUE(log.empty());
}

TEST_F(ConsoleFixture, ClickLoadsEveryCellThroughTheConversion) {
    view.fill(12, {"12abc", " -7", "", "0x10", "2.5", "+4", "4294967297"});
    console.click(12);
    EXPECT_EQ(console.call_slots().p, (std::array<int32_t, 7>{12, -7, 0, 0, 2, 4, 1}));
}

TEST_F(ConsoleFixture, DoubleClickConfirmWritesCellsAsTypedAndConvertsThem) {
    view.fill(12, {"1", "2", "3", "4", "5", "6", "7"});
    view.reply(ParameterTexts{"3", "abc", "", " 9", "-1", "x", "70"});
    console.click(12);
    console.double_click(12);
    EXPECT_EQ(log.back(), "dialog:1|2|3|4|5|6|7");
    EXPECT_EQ(view.cell_text(12, 1), "3");
    EXPECT_EQ(view.cell_text(12, 2), "abc");
    EXPECT_EQ(view.cell_text(12, 4), " 9");
    EXPECT_EQ(console.call_slots().p, (std::array<int32_t, 7>{3, 0, 0, 9, -1, 0, 70}));
    log.clear();
    console.run();
    EXPECT_EQ(log, (Log{"fast_pmove(3,0)"}));
}

TEST_F(ConsoleFixture, DoubleClickCancelChangesNothing) {
    view.fill(12, {"1", "2"});
    view.reply(std::nullopt);
    console.click(12);
    console.double_click(12);
    EXPECT_EQ(view.cell_text(12, 1), "1");
    EXPECT_EQ(console.call_slots().p[1], 2);
}

TEST_F(ConsoleFixture, DoubleClickOnNoRowOpensEmptyFieldsAndChangesNoCell) {
    view.fill(0, {"5"});
    view.reply(ParameterTexts{"8", "8", "8", "8", "8", "8", "8"});
    console.double_click(-1);
    EXPECT_EQ(log.back(), "dialog:||||||");
    EXPECT_EQ(view.cell_text(0, 1), "5");
    log.clear();
    console.run();
    EXPECT_TRUE(log.empty());
}

TEST_F(ConsoleFixture, NoRowPassesP7) {
    for (const CatalogueRow& row : catalogue())
        for (std::size_t i = 0; i < row.arg_count; ++i)
            EXPECT_NE(row.args[i].index, 7) << "row " << row.index;
}

TEST_F(ConsoleFixture, RefusesALibraryTableWithAHole) {
    LibraryApi holed = fake.api();
    holed.change_accel = nullptr;
    EXPECT_THROW(Console(holed, view), std::invalid_argument);
}

// ---- Stop buttons ------------------------------------------------------------------------------

TEST_F(ConsoleFixture, StopButtonsAskTheAxisCountAndStopAscending) {
    fake.returns_in_turn("get_max_axe", {4, 2, 0, -1});
    console.stop_all_now();
    EXPECT_EQ(log, (Log{"get_max_axe()", "sudden_stop(1)", "sudden_stop(2)", "sudden_stop(3)", "sudden_stop(4)"}));
    log.clear();
    console.decelerate_all();
    EXPECT_EQ(log, (Log{"get_max_axe()", "decel_stop(1)", "decel_stop(2)"}));
    log.clear();
    console.decelerate_all();
    console.stop_all_now();
    EXPECT_EQ(log, (Log{"get_max_axe()", "get_max_axe()"}));
}

} // namespace
} // namespace dravik::console::testing
