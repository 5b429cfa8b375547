// The driver channel: every wrapper's request, its result and its failure value, and the senders'
// error reporting.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/error_calls.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

class ChannelTest : public LibraryTest {
protected:
    void SetUp() override { create({4, 4}); }
};

struct Wrapper {
    const char* name;
    std::function<int32_t(DriverChannel&)> call;
    Cmd request;
    int32_t result;   // with the fake's answers below
    int32_t failure;  // when the request fails
};

TEST_F(ChannelTest, EveryWrapperSendsItsCommand) {
    fake->set_axis_reg(3, 44, 0x1234);
    fake->set_board_reg(2, 256, 0x55AA);
    fake->set_port(7, 0x42);
    fake->set_cur_dir(5, -1);
    fake->set_mix_status(3);
    fake->set_start_init_result(9);
    int32_t out = 0;
    const Wrapper wrappers[] = {
        {"read_board_count",
         [](DriverChannel& c) { return c.read_board_count(); },
         {kCmdBoardCount, {}},
         2,
         -1},
        {"read_board_mix_status",
         [](DriverChannel& c) { return c.read_board_mix_status(); },
         {kCmdBoardMixStatus, {}},
         3,
         -1},
        {"start_board_init",
         [](DriverChannel& c) { return c.start_board_init(); },
         {kCmdStartBoardInit, {}},
         9,
         -1},
        {"read_axis_reg",
         [&](DriverChannel& c) { return c.read_axis_reg(3, 44, &out) == 0 ? out : -1; },
         {kCmdReadAxisReg, {3, 44}},
         0x1234,
         -1},
        {"write_axis_reg",
         [](DriverChannel& c) { return c.write_axis_reg(3, 20, -9); },
         {kCmdWriteAxisReg, {3, 20, -9}},
         0,
         -1},
        {"read_board_reg",
         [&](DriverChannel& c) { return c.read_board_reg(2, 256, &out) == 0 ? out : -1; },
         {kCmdReadBoardReg, {2, 256}},
         0x55AA,
         -1},
        {"write_board_reg",
         [](DriverChannel& c) { return c.write_board_reg(2, 260, 0xFFFF); },
         {kCmdWriteBoardReg, {2, 260, 0xFFFF}},
         0,
         -1},
        {"read_port",
         [](DriverChannel& c) { return c.read_port(7); },
         {kCmdReadPort, {7}},
         0x42,
         -1},
        {"write_port keeps the low byte",
         [](DriverChannel& c) { return c.write_port(7, 0x1FF); },
         {kCmdWritePort, {7, 0xFF}},
         0,
         -1},
        {"adjust_distance",
         [](DriverChannel& c) { return c.adjust_distance(4, -250); },
         {kCmdAdjustDistance, {4, -250}},
         0,
         -1},
        {"clear_encoder_pos",
         [](DriverChannel& c) { return c.clear_encoder_pos(4); },
         {kCmdClearEncoder, {4}},
         0,
         -1},
        {"read_abs_pos",
         [&](DriverChannel& c) { return c.read_abs_pos(1, &out) == 0 ? out : -1; },
         {kCmdReadAbsPos, {1}},
         0,
         -1},
        {"read_rel_pos",
         [&](DriverChannel& c) { return c.read_rel_pos(1, &out) == 0 ? out : -1; },
         {kCmdReadRelPos, {1}},
         0,
         -1},
        {"clear_pos", [](DriverChannel& c) { return c.clear_pos(6); }, {kCmdClearPos, {6}}, 0, -1},
        {"read_cur_dir",
         [](DriverChannel& c) { return c.read_cur_dir(5); },
         {kCmdReadCurDir, {5}},
         -1,
         -2},
        {"write_abs_pos",
         [](DriverChannel& c) { return c.write_abs_pos(6, INT32_MIN); },
         {kCmdWriteAbsPos, {6, INT32_MIN}},
         0,
         -1},
    };
    for (const Wrapper& w : wrappers) {
        SCOPED_TRACE(w.name);
        fake->clear_requests();
        EXPECT_EQ(w.call(lib->driver), w.result);
        const auto log = fake->requests();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].code, kRequestDriverCommand);
        EXPECT_EQ(log[0].in, command_bytes(w.request)) << describe(log[0]);
        // A failed request gives the failure value and is reported once.
        reset_err(*lib);
        fake->fail_next(1);
        out = 777;
        EXPECT_EQ(w.call(lib->driver), w.failure);
        EXPECT_EQ(out, 777);  // out values are written only on success
        EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
        EXPECT_EQ(lib->errors.total(), 1);
    }
}

TEST_F(ChannelTest, VersionCommandCarriesFourArguments) {
    int32_t v[3] = {0, 0, 0};
    EXPECT_EQ(lib->driver.read_driver_version(&v[0], &v[1], &v[2]), 0);
    EXPECT_EQ(std::vector<int32_t>(v, v + 3), (std::vector<int32_t>{3, 0, 0}));
    EXPECT_EQ(fake->requests()[0].in, command_bytes({kCmdDriverVersion, {0, 0, 0, 0}}));
}

TEST_F(ChannelTest, BoardInfoTakesLowBytes) {
    fake->set_board_axes(1, 0x1204);
    int8_t axes = 0, type = -1;
    EXPECT_EQ(lib->driver.read_board_info(1, &axes, &type), 0);
    EXPECT_EQ(axes, 4);
    EXPECT_EQ(type, 0);
    fake->set_board_axes(1, 0xFE);
    EXPECT_EQ(lib->driver.read_board_info(1, &axes, &type), 0);
    EXPECT_EQ(axes, -2);
}

TEST_F(ChannelTest, SyncSerialStoresTheSerialFirst) {
    lib->block.serial = 41;
    fake->fail_next(1);
    EXPECT_EQ(lib->driver.sync_motion_serial(lib->block, 7), -1);
    EXPECT_EQ(lib->block.serial, 7);
    EXPECT_EQ(lib->driver.sync_motion_serial(lib->block, 0), 0);
    EXPECT_EQ(fake->serial(), 0);
    EXPECT_EQ(fake->commands().back(), (Cmd{kCmdSyncSerial, {0}}));
}

TEST_F(ChannelTest, MotionBlockSender) {
    MotionBlock block{};
    block.axis = 3;
    block.block_type = kBlockRamped;
    block.group_remaining = 1;
    EXPECT_EQ(lib->driver.send_motion_block(block), 0);
    const auto log = fake->requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, kRequestMotionBlock);
    ASSERT_EQ(log[0].in.size(), sizeof block);
    EXPECT_EQ(std::memcmp(log[0].in.data(), &block, sizeof block), 0);

    fake->refuse_motion_next(1);
    EXPECT_EQ(lib->driver.send_motion_block(block), -3);
    EXPECT_EQ(get_last_err(*lib), kErrMotionRefused);
    fake->fail_next(1);
    EXPECT_EQ(lib->driver.send_motion_block(block), -2);
    EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
    EXPECT_EQ(lib->driver.send_motion_block(block), 0);
}

TEST_F(ChannelTest, NoDeviceFailsEveryRequestWithErrorFive) {
    Library none(nullptr);
    EXPECT_FALSE(none.driver.is_open());
    DriverCommand cmd{};
    EXPECT_EQ(none.driver.send_driver_command(cmd), -1);
    EXPECT_EQ(none.driver.send_motion_block(none.block), -1);
    BoardRecord record{};
    EXPECT_EQ(none.driver.board_db_info(1, &record), -1);
    EXPECT_EQ(none.driver.read_board_count(), -1);
    EXPECT_EQ(none.driver.read_cur_dir(1), -2);
    EXPECT_EQ(get_last_err(none), kErrNoDevice);
    EXPECT_EQ(none.errors.total(), 1);  // the same code folds into one record
}

TEST_F(ChannelTest, ClosedChannelBehavesAsNoDevice) {
    lib->driver.close();
    EXPECT_EQ(lib->driver.read_board_count(), -1);
    EXPECT_EQ(get_last_err(*lib), kErrNoDevice);
}

}  // namespace
}  // namespace dravik::test
