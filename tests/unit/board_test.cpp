// Board enumeration and the start-up pair against the FakeDevice.
#include "core/board.h"

#include <gtest/gtest.h>

#include "axis/registers.h"
#include "core/error_calls.h"
#include "core/validation.h"
#include "status/status.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

class BoardTest : public LibraryTest {};

// The requests of the defaults routine for axes 1..n, as init_board sends them.
std::vector<Cmd> defaults_traffic(int n) {
    std::vector<Cmd> out{{kCmdStartBoardInit, {}}};
    const Cmd version{kCmdDriverVersion, {0, 0, 0, 0}};
    const Cmd card{kCmdReadBoardReg, {1, kBoardVersion}};
    for (int ch = 1; ch <= n; ++ch) {
        out.push_back({kCmdWriteAxisReg, {ch, REG_MODE, int32_t(MODE_DEFAULT)}});
        for (int reg : {0, 4, 8, 12, 32, 36, 40, 48, 52})
            out.push_back({kCmdWriteAxisReg, {ch, reg, 0}});
        for (int i = 0; i < 2; ++i) {  // busy tests of the constant speed and of the profile
            out.push_back(version);
            out.push_back(card);
            out.push_back({kCmdReadAxisReg, {ch, REG_STATUS}});
        }
    }
    out.push_back({kCmdSyncSerial, {0}});
    return out;
}

TEST_F(BoardTest, StartUpPairOnTwoFourAxisBoardsSendsExactSequence) {
    create({4, 4});
    ASSERT_EQ(auto_set(*lib), 8);
    std::vector<Cmd> expected{
        {kCmdBoardCount, {}}, {kCmdBoardInfo, {1}}, {kCmdBoardInfo, {2}}, {kCmdBoardMixStatus, {}}};
    EXPECT_EQ(fake->commands(), expected) << fake->dump();

    fake->clear_requests();
    ASSERT_EQ(init_board(*lib), 2);
    expected = {{kCmdBoardCount, {}}, {kCmdBoardInfo, {1}}, {kCmdBoardInfo, {2}}};
    for (const Cmd& c : defaults_traffic(8)) expected.push_back(c);
    expected.push_back({kCmdDriverVersion, {0, 0, 0, 0}});
    expected.push_back({kCmdReadBoardReg, {1, kBoardVersion}});
    expected.push_back({kCmdBoardMixStatus, {}});
    EXPECT_EQ(fake->commands(), expected) << fake->dump();

    // Every request went out as a 48-byte command, zero past its arguments.
    const auto log = fake->requests();
    ASSERT_EQ(log.size(), expected.size());
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].code, kRequestDriverCommand);
        EXPECT_EQ(log[i].in, command_bytes(expected[i])) << describe(log[i]);
    }

    EXPECT_EQ(get_max_axe(*lib), 8);
    EXPECT_EQ(get_board_num(*lib), 2);
    EXPECT_EQ(get_axe(*lib, 2), 4);
    EXPECT_EQ(get_axe(*lib, 0), -1);
    EXPECT_EQ(get_axe(*lib, 3), -1);
    EXPECT_EQ(lib->boards.boards_ready, 1);
    EXPECT_EQ(lib->axes.size(), 8u);
    EXPECT_EQ(lib->moves.size(), 8u);
    EXPECT_EQ(get_last_err(*lib), 0);
    for (int ch = 1; ch <= 8; ++ch) EXPECT_EQ(fake->axis_reg(ch, REG_MODE), int32_t(MODE_DEFAULT));
}

TEST_F(BoardTest, SecondCallsReturnFirstResultWithoutAskingTheDriver) {
    start({4, 4});
    EXPECT_EQ(auto_set(*lib), 8);
    EXPECT_EQ(init_board(*lib), 2);
    EXPECT_EQ(fake->request_count(), 0u);
}

TEST_F(BoardTest, AxesAreNumberedAcrossBoards) {
    start({2, 3, 1});
    const int expected[] = {0, 1, 1, 2, 2, 2, 3, 0};
    for (int ch = 0; ch <= 7; ++ch) EXPECT_EQ(board_of_axis(*lib, ch), expected[ch]) << ch;
    EXPECT_EQ(board_of_axis(*lib, -1), 0);
}

// One row per failure of auto_set: what the fake does, and what auto_set reports.
struct AutoSetFailure {
    const char* name;
    void (*setup)(FakeDevice&);
    int result;
    int32_t error;  // newest record after the call, 0 for none
};

const AutoSetFailure kAutoSetFailures[] = {
    {"no board", [](FakeDevice& f) { f.set_board_count(0); }, 0, kErrNoBoard},
    {"count byte 0 (high bits set)", [](FakeDevice& f) { f.set_board_count(0x300); }, 0,
     kErrNoBoard},
    {"negative count", [](FakeDevice& f) { f.set_board_count(0xF0); }, 0, kErrNoBoard},
    {"count request fails", [](FakeDevice& f) { f.fail_at(0); }, -1, kErrRequestFailed},
    {"board info fails", [](FakeDevice& f) { f.fail_at(2); }, -2, kErrRequestFailed},
    {"board with no axes", [](FakeDevice& f) { f.set_board_axes(2, 0); }, -3, kErrScanNoAxes},
    {"board with negative axes", [](FakeDevice& f) { f.set_board_axes(1, 0xFF); }, -3,
     kErrScanNoAxes},
    {"mix status 1", [](FakeDevice& f) { f.set_mix_status(1); }, -10, kErrMix1},
    {"mix status 2", [](FakeDevice& f) { f.set_mix_status(2); }, -10, kErrMix2},
    {"mix status 3", [](FakeDevice& f) { f.set_mix_status(3); }, -10, kErrMix3},
    {"mix status 4", [](FakeDevice& f) { f.set_mix_status(0x104); }, -10, kErrMix4},
    {"mix status 5 is fine", [](FakeDevice& f) { f.set_mix_status(5); }, 8, 0},
    {"mix status request fails", [](FakeDevice& f) { f.fail_at(3); }, 8, kErrRequestFailed},
};

TEST_F(BoardTest, AutoSetFailureRows) {
    for (const auto& row : kAutoSetFailures) {
        SCOPED_TRACE(row.name);
        create({4, 4});
        row.setup(*fake);
        EXPECT_EQ(auto_set(*lib), row.result) << fake->dump();
        EXPECT_EQ(get_last_err(*lib), row.error);
        EXPECT_EQ(lib->boards.init_stage, 1);
        // A second call does not scan again and returns what the first one summed.
        const size_t before = fake->request_count();
        EXPECT_EQ(auto_set(*lib), lib->boards.total_axes);
        EXPECT_EQ(fake->request_count(), before);
    }
}

TEST_F(BoardTest, AutoSetWithoutDeviceFailsWithErrorFive) {
    lib = std::make_unique<Library>(nullptr);
    EXPECT_EQ(auto_set(*lib), -1);
    EXPECT_EQ(get_last_err(*lib), kErrNoDevice);
    EXPECT_EQ(init_board(*lib), -1);
    EXPECT_EQ(get_last_err(*lib), kErrNoDevice);
    EXPECT_EQ(check_done(*lib, 1), -1);
    EXPECT_EQ(get_last_err(*lib), kErrNotReady);
}

TEST_F(BoardTest, MoreThanSixBoardsAreAccepted) {
    start({1, 2, 3, 4, 1, 2, 3, 4});
    EXPECT_EQ(get_max_axe(*lib), 20);
    EXPECT_EQ(get_axe(*lib, 8), 4);
    EXPECT_EQ(board_of_axis(*lib, 20), 8);
    EXPECT_EQ(lib->axes.size(), 20u);
    fake->set_abs_pos(20, 77);
    int32_t pos = 0;
    EXPECT_EQ(get_abs_pos(*lib, 20, &pos), 0);
    EXPECT_EQ(pos, 77);
}

TEST_F(BoardTest, ManyAxesGetTheirOwnTableEntries) {
    start({40});  // beyond any fixed table of 24 axes
    EXPECT_EQ(lib->axes.size(), 40u);
    EXPECT_DOUBLE_EQ(axis(40).conspeed, 2000.0);
    EXPECT_EQ(axis(40).conspeed_reg, 2);
}

struct InitBoardFailure {
    const char* name;
    void (*setup)(FakeDevice&);  // applied after a good auto_set
    int result;
    int32_t error;  // newest record, 0 for none
    bool ready;     // boards_ready afterwards
};

const InitBoardFailure kInitBoardFailures[] = {
    {"no board now", [](FakeDevice& f) { f.set_board_count(0); }, 0, kErrNoBoard, false},
    {"count request fails", [](FakeDevice& f) { f.fail_at(0); }, -1, kErrRequestFailed, false},
    {"different board count", [](FakeDevice& f) { f.set_board_count(3); }, -3, 0, false},
    {"board info fails", [](FakeDevice& f) { f.fail_at(1); }, -1, kErrRequestFailed, false},
    {"board with no axes", [](FakeDevice& f) { f.set_board_axes(2, 0); }, -2, kErrInitNoAxes,
     false},
    {"different axis count", [](FakeDevice& f) { f.set_board_axes(2, 3); }, -3, 0, false},
    {"board start refused", [](FakeDevice& f) { f.fail_at(3); }, -1, kErrRequestFailed, true},
    // init_board records nothing for these itself; the busy tests of the defaults routine have
    // already failed their validation with the version's own code.
    {"driver version 3.0.1", [](FakeDevice& f) { f.set_driver_version(3, 0, 1); }, -5,
     kErrDriverVersion, true},
    {"card type 1", [](FakeDevice& f) { f.set_card_version(1, 0x01020200); }, -6, kErrCardType,
     true},
    {"mix status 1", [](FakeDevice& f) { f.set_mix_status(1); }, -10, kErrMix1, true},
    {"mix status 2", [](FakeDevice& f) { f.set_mix_status(2); }, -10, kErrMix2, true},
    {"mix status 3", [](FakeDevice& f) { f.set_mix_status(3); }, -10, kErrMix3, true},
    {"mix status 4", [](FakeDevice& f) { f.set_mix_status(4); }, -10, kErrMix4, true},
};

TEST_F(BoardTest, InitBoardFailureRows) {
    for (const auto& row : kInitBoardFailures) {
        SCOPED_TRACE(row.name);
        create({4, 4});
        ASSERT_EQ(auto_set(*lib), 8);
        reset_err(*lib);
        fake->clear_requests();
        row.setup(*fake);
        EXPECT_EQ(init_board(*lib), row.result) << fake->dump();
        EXPECT_EQ(get_last_err(*lib), row.error) << fake->dump();
        EXPECT_EQ(lib->boards.boards_ready, row.ready ? 1 : 0);
        EXPECT_EQ(lib->boards.init_stage, 2);
        // Not repeated: a second call answers the board count at once.
        fake->clear_requests();
        EXPECT_EQ(init_board(*lib), 2);
        EXPECT_EQ(fake->request_count(), 0u);
    }
}

// Fails each request of the start-up pair in turn: the count and board requests fail the call,
// the board start fails the defaults, and every later failure is reported but tolerated.
TEST_F(BoardTest, EveryFailedRequestOfTheStartUpPairHasItsOutcome) {
    create({4, 4});
    ASSERT_EQ(auto_set(*lib), 8);
    fake->clear_requests();
    ASSERT_EQ(init_board(*lib), 2);
    const size_t init_requests = fake->request_count();
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        create({4, 4});
        fake->fail_at(i);
        EXPECT_EQ(auto_set(*lib), i == 0 ? -1 : i < 3 ? -2 : 8);
        EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
    }
    for (size_t i = 0; i < init_requests; ++i) {
        SCOPED_TRACE(i);
        create({4, 4});
        ASSERT_EQ(auto_set(*lib), 8);
        fake->clear_requests();
        fake->fail_at(i);
        EXPECT_EQ(init_board(*lib), i <= 3 ? -1 : 2) << fake->describe_at(i);
        EXPECT_EQ(lib->boards.boards_ready, i < 3 ? 0 : 1);
        int first = 0, second = 0;
        get_err(*lib, 1, &first);
        get_err(*lib, 2, &second);
        EXPECT_TRUE(first == kErrRequestFailed || second == kErrRequestFailed);
    }
}

TEST_F(BoardTest, InitBoardBeforeAutoSetFailsAndAutoSetStillWorks) {
    create({4, 4});
    EXPECT_EQ(init_board(*lib), -1);
    EXPECT_EQ(get_last_err(*lib), kErrInitBeforeAutoSet);
    EXPECT_EQ(lib->boards.init_stage, 0);
    EXPECT_EQ(fake->request_count(), 0u);
    EXPECT_EQ(auto_set(*lib), 8);
    // auto_set attached fresh storage, keeping the ring's counters: the earlier record is gone.
    EXPECT_EQ(get_last_err(*lib), 0);
    EXPECT_EQ(lib->errors.total(), 1);
    EXPECT_EQ(init_board(*lib), 2);
}

TEST_F(BoardTest, DifferentBoardCountLeavesAxisCallsFailingNotReady) {
    create({4, 4});
    ASSERT_EQ(auto_set(*lib), 8);
    fake->set_board_count(1);
    EXPECT_EQ(init_board(*lib), -3);
    EXPECT_EQ(check_done(*lib, 1), -1);
    EXPECT_EQ(get_last_err(*lib), kErrNotReady);
}

TEST_F(BoardTest, WrongDriverVersionLeavesLibraryReadyButAxisCallsFail) {
    create({4, 4});
    ASSERT_EQ(auto_set(*lib), 8);
    fake->set_driver_version(3, 0, 1);
    EXPECT_EQ(init_board(*lib), -5);
    EXPECT_EQ(lib->boards.boards_ready, 1);
    reset_err(*lib);
    EXPECT_EQ(check_done(*lib, 1), -1);
    EXPECT_EQ(get_last_err(*lib), kErrDriverVersion);
}

TEST_F(BoardTest, GetCardnoReadsIdentityWordsOfUpToFourBoards) {
    struct Row {
        int boards;
        std::vector<int> expected;  // id1..id4 afterwards (starting from 99)
    };
    const Row rows[] = {
        {3, {0xA1, 0xA2, 0xA3, 0}}, {1, {0xA1, 0, 0, 0}},  {4, {0xA1, 0xA2, 0xA3, 0xA4}},
        {5, {99, 99, 99, 99}},      {0, {99, 99, 99, 99}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.boards);
        create(std::vector<int>(static_cast<size_t>(row.boards), 4));
        int id[4] = {99, 99, 99, 99};
        EXPECT_EQ(get_cardno(*lib, &id[0], &id[1], &id[2], &id[3]), 1);
        EXPECT_EQ(std::vector<int>(id, id + 4), row.expected);
    }
}

TEST_F(BoardTest, GetCardnoTakesTheWholeCountWord) {
    create({4, 4});
    fake->set_board_count(0x102);  // low byte 2, but the whole word is no count of 1 to 4
    int id[4] = {99, 99, 99, 99};
    EXPECT_EQ(get_cardno(*lib, &id[0], &id[1], &id[2], &id[3]), 1);
    EXPECT_EQ(std::vector<int>(id, id + 4), (std::vector<int>{99, 99, 99, 99}));
    EXPECT_EQ(fake->commands(), (std::vector<Cmd>{{kCmdBoardCount, {}}}));
}

TEST_F(BoardTest, GetCardnoKeepsTargetOfAFailedReadAndSkipsNullTargets) {
    create({4, 4});
    fake->fail_at(2);  // identity of board 2
    int id[4] = {99, 99, 99, 99};
    EXPECT_EQ(get_cardno(*lib, &id[0], &id[1], &id[2], nullptr), 1);
    EXPECT_EQ(std::vector<int>(id, id + 4), (std::vector<int>{0xA1, 99, 0, 99}));
}

}  // namespace
}  // namespace dravik::test
