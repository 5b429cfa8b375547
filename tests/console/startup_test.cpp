// Start-up messages for each auto_set / init_board outcome, and the two board-information
// commands.
#include "console_fixture.h"

namespace dravik::console::testing {
namespace {

struct StartCase {
    int axes;
    int boards;
    Log expected;
};

class StartUp : public ConsoleFixture, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartUp, ShowsOneMessagePerOutcome) {
    const StartCase& c = GetParam();
    fake.returns("auto_set", c.axes);
    fake.returns("init_board", c.boards);
    console.start_up();
    EXPECT_EQ(log, c.expected);
    EXPECT_EQ(console.axis_count(), c.axes);
    EXPECT_EQ(console.board_count(), c.boards);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, StartUp,
    ::testing::Values(
        StartCase{8, 2, {"auto_set()", "msg:轴数=8", "init_board()", "msg:卡数=2"}},
        StartCase{-1, -1, {"auto_set()", "msg:检测不到卡!", "init_board()", "msg:初始化错误!"}},
        StartCase{-10, -10, {"auto_set()", "msg:使用多卡搭配不当!", "init_board()", "msg:初始化错误!"}},
        StartCase{0, 0, {"auto_set()", "init_board()", "msg:初始化错误!"}},
        StartCase{-2, -3, {"auto_set()", "init_board()", "msg:初始化错误!"}},
        StartCase{4, -5, {"auto_set()", "msg:轴数=4", "init_board()", "msg:动态链接库或驱动程序的版本错误"}},
        StartCase{4, -6, {"auto_set()", "msg:轴数=4", "init_board()", "msg:硬件版本错误"}}));

constexpr const char* two_boards_info =
    "计算机内插有 2 张板卡。共有 8 根轴。\n"
    "板卡类型号     ：0\n"
    "函数库版本号   ：3.0.1\n"
    "驱动程序版本号 ：3.0.0\n"
    "硬件版本号     ：2.2.0\n";

class BoardInfo : public ConsoleFixture {
protected:
    void start(int axes, int boards) {
        fake.returns("auto_set", axes);
        fake.returns("init_board", boards);
        console.start_up();
        log.clear();
    }
    void answer_versions() {
        fake.writes("get_lib_ver", {3, 0, 1});
        fake.writes("get_sys_ver", {3, 0, 0});
        fake.writes("get_card_ver", {0, 2, 2, 0});
    }
    static Log stops_then_resets(int axes) {
        Log l;
        for (int ch = 1; ch <= axes; ++ch) l.push_back("sudden_stop(" + std::to_string(ch) + ")");
        for (int ch = 1; ch <= axes; ++ch) l.push_back("reset_pos(" + std::to_string(ch) + ")");
        return l;
    }
};

TEST_F(BoardInfo, BothVariantsAskVersionsThenStopAndZeroEveryAxisBeforeTheBox) {
    for (auto source : {BoardInfoSource::Menu, BoardInfoSource::AboutItem}) {
        start(8, 2);
        answer_versions();
        console.show_board_info(source);
        Log expected{"get_lib_ver(&?,&?,&?)", "get_sys_ver(&?,&?,&?)", "get_card_ver(1,&?,&?,&?,&?)"};
        for (const auto& s : stops_then_resets(8)) expected.push_back(s);
        expected.push_back(std::string("about:") + two_boards_info);
        EXPECT_EQ(log, expected);
    }
}

TEST_F(BoardInfo, AboutItemWithoutBoardsMakesNoCallAndShowsMinusOne) {
    start(4, -5);
    console.show_board_info(BoardInfoSource::AboutItem);
    Log expected = stops_then_resets(4);
    expected.push_back("about:计算机内插有 -5 张板卡。共有 4 根轴。\n"
                       "板卡类型号     ：-1\n"
                       "函数库版本号   ：-1.-1.-1\n"
                       "驱动程序版本号 ：-1.-1.-1\n"
                       "硬件版本号     ：-1.-1.-1\n");
    EXPECT_EQ(log, expected);
}

TEST_F(BoardInfo, MenuWithoutBoardsStillAsksAndShowsMinusOneForFailedCalls) {
    start(0, 0);
    fake.writes("get_lib_ver", {3, 0, 1}); // the library version always answers
    fake.returns("get_sys_ver", -1);
    fake.returns("get_card_ver", -1);
    console.show_board_info(BoardInfoSource::Menu);
    EXPECT_EQ(log, (Log{"get_lib_ver(&?,&?,&?)", "get_sys_ver(&?,&?,&?)", "get_card_ver(1,&?,&?,&?,&?)",
                        "about:计算机内插有 0 张板卡。共有 0 根轴。\n"
                        "板卡类型号     ：-1\n"
                        "函数库版本号   ：3.0.1\n"
                        "驱动程序版本号 ：-1.-1.-1\n"
                        "硬件版本号     ：-1.-1.-1\n"}));
}

TEST_F(BoardInfo, UsesTheStartUpAxisCountNotTheLibrarysCurrentOne) {
    start(2, 1);
    fake.returns("get_max_axe", 8);
    console.show_board_info(BoardInfoSource::AboutItem);
    EXPECT_EQ(std::count(log.begin(), log.end(), "sudden_stop(2)"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "sudden_stop(3)"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "get_max_axe()"), 0);
}

} // namespace
} // namespace dravik::console::testing
