// Driver emulation: the driver commands with their exact buffers, the motion request's accept and
// refuse answers and grouping, the board record, fault injection and the control requests.
#include <gtest/gtest.h>

#include <cstring>

#include "control_protocol.h"
#include "driver.h"
#include "sim_rig.h"
#include "state_format.h"

namespace dravik::sim::testing {
namespace {

TEST(DriverCommands, StartUpAnswersComeFromTheConfiguration) {
    SimConfig config;
    config.axes_per_board = {4, 2, 3};
    config.driver_version[2] = 1;
    config.mix_status = 4;
    config.board_type = 7;
    SimRig rig(config);
    DriverCommand r{};
    ASSERT_TRUE(rig.command(kCmdDriverVersion, {0, 0, 0, 0}, &r));
    EXPECT_EQ(r.command, kCmdDriverVersion);
    EXPECT_EQ(r.arg_count, 4);
    EXPECT_EQ(r.words[0], 3);
    EXPECT_EQ(r.words[1], 0);
    EXPECT_EQ(r.words[2], 1);
    EXPECT_EQ(rig.word0(kCmdBoardCount, {}), 3);
    EXPECT_EQ(rig.word0(kCmdBoardMixStatus, {}), 4);
    ASSERT_TRUE(rig.command(kCmdBoardInfo, {2}, &r));
    EXPECT_EQ(r.words[0], 7);
    EXPECT_EQ(r.words[1], 2);
    EXPECT_FALSE(rig.command(kCmdBoardInfo, {4}));
    EXPECT_FALSE(rig.command(kCmdBoardInfo, {0}));
    EXPECT_TRUE(rig.command(kCmdStartBoardInit, {}));
    EXPECT_TRUE(rig.command(kCmdSyncSerial, {0}));
    EXPECT_EQ(rig.sim.with_machine([](Machine& m, int64_t) { return m.serial(); }), 0);
    EXPECT_TRUE(rig.command(kCmdReadAxisReg, {9, REG_STATUS}));
    EXPECT_FALSE(rig.command(kCmdReadAxisReg, {10, REG_STATUS}));  // 9 axes in all
}

TEST(DriverCommands, BoardCountOverrideIsReported) {
    SimConfig config;
    config.board_count_override = 0;
    SimRig rig(config);
    EXPECT_EQ(rig.word0(kCmdBoardCount, {}), 0);
}

TEST(DriverCommands, MalformedCommandsAreRefused) {
    SimRig rig;
    const struct { int32_t code; std::initializer_list<int32_t> args; int32_t arg_count; } cases[] = {
        {1, {}, 0},                                  // not a command of the driver
        {30, {}, 0},
        {-1, {}, 0},
        {kCmdReadAxisReg, {1, REG_STATUS}, 1},       // wrong argument count
        {kCmdDriverVersion, {0, 0, 0}, 3},
        {kCmdReadAxisReg, {0, REG_STATUS}, 2},       // no axis 0
        {kCmdReadAxisReg, {1, 64}, 2},               // not an axis register
        {kCmdReadAxisReg, {1, 2}, 2},                // unaligned
        {kCmdWriteAxisReg, {1, -4, 0}, 3},
        {kCmdReadBoardReg, {3, kBoardInputs}, 2},    // no board 3
        {kCmdReadBoardReg, {1, 1024}, 2},
        {kCmdWriteBoardReg, {1, 258, 1}, 3},
        {kCmdReadPort, {0x10000}, 1},
        {kCmdWritePort, {-1, 1}, 2},
        {kCmdReadAbsPos, {9}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(rig.command(c.code, c.args, nullptr, c.arg_count)) << c.code;
    }
    // Wrong frame lengths for a driver command.
    DriverCommand cmd{kCmdBoardCount, 0, {}};
    std::vector<uint8_t> out;
    EXPECT_FALSE(rig.request(kRequestDriverCommand, &cmd, 44, 48, out).ok);
    EXPECT_FALSE(rig.request(kRequestDriverCommand, &cmd, 48, 4, out).ok);
    EXPECT_FALSE(rig.request(0x222044, &cmd, 48, 48, out).ok);
}

TEST(DriverCommands, BoardRegistersAndPortsHoldTheirValues) {
    SimConfig config;
    config.identity = {0x1234, 0x5678};
    config.card_version = 0x00030102;
    SimRig rig(config);
    EXPECT_EQ(rig.word0(kCmdReadBoardReg, {1, kBoardInputs}), 0xFFFF);
    EXPECT_EQ(rig.word0(kCmdReadBoardReg, {2, kBoardIdentity}), 0x5678);
    EXPECT_EQ(rig.word0(kCmdReadBoardReg, {1, kBoardVersion}), 0x00030102);
    for (int32_t reg : {kBoardOutputs, kBoardSfr, kBoardIoPosEnable, 1000}) {
        ASSERT_TRUE(rig.command(kCmdWriteBoardReg, {2, reg, 0x4321}));
        EXPECT_EQ(rig.word0(kCmdReadBoardReg, {2, reg}), 0x4321) << reg;
        EXPECT_EQ(rig.word0(kCmdReadBoardReg, {1, reg}), 0) << reg;
    }
    // Inputs, identity and version are read-only.
    ASSERT_TRUE(rig.command(kCmdWriteBoardReg, {1, kBoardInputs, 0}));
    ASSERT_TRUE(rig.command(kCmdWriteBoardReg, {1, kBoardVersion, 0x01000000}));
    EXPECT_EQ(rig.word0(kCmdReadBoardReg, {1, kBoardInputs}), 0xFFFF);
    EXPECT_EQ(rig.word0(kCmdReadBoardReg, {1, kBoardVersion}), 0x00030102);
    EXPECT_EQ(rig.word0(kCmdReadPort, {0x300}), 0);
    ASSERT_TRUE(rig.command(kCmdWritePort, {0x300, 0x1AB}));
    EXPECT_EQ(rig.word0(kCmdReadPort, {0x300}), 0xAB);
}

TEST(DriverCommands, AxisRegistersKeepWritesExceptTheReadOnlyOnes) {
    SimRig rig;
    EXPECT_EQ(static_cast<uint32_t>(rig.read_reg(1, REG_MODE)), MODE_DEFAULT);
    for (int32_t reg : {REG_AUX4, REG_RAMP_AUX, 28, REG_AUX32, REG_HOME_CONFIG}) {
        rig.write_reg(3, reg, 0xABCD);
        EXPECT_EQ(rig.read_reg(3, reg), 0xABCD) << reg;
    }
    rig.write_reg(3, REG_STATUS, 0xFFFFFFFF);
    rig.write_reg(3, REG_CURRENT_SPEED, 5);
    EXPECT_EQ(rig.status(3), 0u);
    EXPECT_EQ(rig.read_reg(3, REG_CURRENT_SPEED), 0);
}

TEST(BoardRecord, DescribesTheBoardInItsDocumentedLayout) {
    SimConfig config;
    config.axes_per_board = {4, 2};
    config.identity = {0x11, 0x22};
    SimRig rig(config);
    const int32_t board = 2;
    std::vector<uint8_t> out;
    ASSERT_TRUE(rig.request(kRequestBoardRecord, &board, 4, 40, out).ok);
    ASSERT_EQ(out.size(), 40u);
    int32_t words[6];
    std::memcpy(words, out.data(), sizeof words);
    EXPECT_EQ(words[0], 2);
    EXPECT_EQ(words[1], 2);
    EXPECT_EQ(words[2], 5);  // first axis of board 2
    EXPECT_EQ(words[3], 0);
    EXPECT_EQ(words[4], 0x00020200);
    EXPECT_EQ(words[5], 0x22);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data() + 24)), "DRAVIK-SIM");
    const int32_t bad = 3;
    EXPECT_FALSE(rig.request(kRequestBoardRecord, &bad, 4, 40, out).ok);
    EXPECT_FALSE(rig.request(kRequestBoardRecord, &board, 4, 39, out).ok);
}

TEST(MotionRequest, MalformedBlocksAreRefused) {
    const struct { const char* what; void (*spoil)(MotionBlock&); } cases[] = {
        {"axis 0", [](MotionBlock& b) { b.axis = 0; }},
        {"axis past the last", [](MotionBlock& b) { b.axis = 9; }},
        {"block type", [](MotionBlock& b) { b.block_type = 4; }},
        {"negative distance", [](MotionBlock& b) { b.distance = -1; }},
        {"zero low speed", [](MotionBlock& b) { b.speed_word_1 = 0; }},
        {"high speed past 8191", [](MotionBlock& b) { b.speed_word_2 = 8192; }},
        {"second high speed", [](MotionBlock& b) { b.speed_word_3 = 0; }},
        {"acceleration 1", [](MotionBlock& b) { b.accel_word = 1; }},
        {"deceleration past 65535", [](MotionBlock& b) { b.decel_word = 65536; }},
        {"divider 0", [](MotionBlock& b) { b.rate_divider = 0; }},
        {"run field stop", [](MotionBlock& b) { b.mode_image = (b.mode_image & ~MODE_RUN) | MODE_RUN_STOP; }},
        {"group_remaining 0", [](MotionBlock& b) { b.group_remaining = 0; }},
    };
    for (const auto& c : cases) {
        SimRig rig;
        MotionBlock b = ramped_block(1, 100, 2, 8, 65535);
        c.spoil(b);
        EXPECT_FALSE(rig.move(b)) << c.what;
        EXPECT_FALSE(rig.busy(1)) << c.what;
    }
    SimRig rig;
    MotionBlock constant = constant_block(1, 100, 0);
    EXPECT_FALSE(rig.move(constant)) << "constant speed 0";
    constant.speed_word_1 = 5;
    constant.speed_select = 4;
    EXPECT_FALSE(rig.move(constant)) << "speed select";
    constant.speed_select = 1;
    EXPECT_TRUE(rig.move(constant));
    EXPECT_FALSE(rig.move(constant)) << "axis moving";
    std::vector<uint8_t> out;
    EXPECT_FALSE(rig.request(kRequestMotionBlock, &constant, 100, 4, out).ok) << "short block";
}

TEST(MotionRequest, ZeroDistanceIsAcceptedAndEndsAtOnce) {
    SimRig rig;
    EXPECT_TRUE(rig.move(ramped_block(1, 0, 2, 8, 65535)));
    EXPECT_FALSE(rig.busy(1));
    EXPECT_EQ(rig.abs_pos(1), 0);
}

TEST(MotionRequest, InconsistentGroupsAreRefusedWhole) {
    SimRig rig;
    auto block = [](int32_t axis, uint8_t remaining) {
        MotionBlock b = constant_block(axis, 1000, 10);
        b.group_remaining = remaining;
        return b;
    };
    // Countdown skips a number: that block is refused and the group is dropped.
    EXPECT_TRUE(rig.move(block(1, 3)));
    EXPECT_FALSE(rig.move(block(2, 1)));
    EXPECT_FALSE(rig.busy(1));
    // The same axis twice in one group.
    EXPECT_TRUE(rig.move(block(1, 2)));
    EXPECT_FALSE(rig.move(block(1, 1)));
    EXPECT_FALSE(rig.busy(1));
    // A refused member refuses the rest of its group, and nothing of it starts.
    EXPECT_TRUE(rig.move(block(1, 3)));
    EXPECT_FALSE(rig.move(block(99, 2)));
    EXPECT_FALSE(rig.move(block(3, 1)));
    EXPECT_FALSE(rig.busy(1));
    EXPECT_FALSE(rig.busy(3));
    // Afterwards a fresh group starts normally.
    EXPECT_TRUE(rig.move(block(1, 2)));
    EXPECT_TRUE(rig.move(block(2, 1)));
    EXPECT_TRUE(rig.busy(1));
    EXPECT_TRUE(rig.busy(2));
}

TEST(MotionRequest, GroupsOfDifferentConnectionsDoNotMix) {
    SimRig rig;
    Session other;
    MotionBlock b = constant_block(1, 1000, 10);
    b.group_remaining = 2;
    ASSERT_TRUE(rig.move(b));
    MotionBlock single = constant_block(2, 1000, 10);
    std::vector<uint8_t> out;
    ASSERT_TRUE(rig.sim.handle(other, kRequestMotionBlock, reinterpret_cast<uint8_t*>(&single),
                               sizeof single, 4, out).ok);
    EXPECT_TRUE(rig.busy(2));
    EXPECT_FALSE(rig.busy(1));  // still waiting for its group's last block
    b.axis = 3;
    b.group_remaining = 1;
    ASSERT_TRUE(rig.move(b));
    EXPECT_TRUE(rig.busy(1));
}

class Faults : public ::testing::Test {
protected:
    bool inject(FaultKind kind, int32_t count) {
        const int32_t in[2] = {static_cast<int32_t>(kind), count};
        std::vector<uint8_t> out;
        return rig.request(kCtlInjectFault, in, sizeof in, 0, out).ok;
    }
    SimRig rig;
};

TEST_F(Faults, FailRefuseAndDropCountDownOverDeviceRequests) {
    ASSERT_TRUE(inject(FaultKind::Fail, 2));
    EXPECT_FALSE(rig.command(kCmdBoardCount, {}));
    EXPECT_FALSE(rig.command(kCmdBoardCount, {}));
    EXPECT_TRUE(rig.command(kCmdBoardCount, {}));

    ASSERT_TRUE(inject(FaultKind::Refuse, 1));
    EXPECT_TRUE(rig.command(kCmdBoardCount, {}));  // only motion requests are refused
    EXPECT_FALSE(rig.move(constant_block(1, 100, 10)));
    EXPECT_FALSE(rig.busy(1));
    EXPECT_TRUE(rig.move(constant_block(1, 100, 10)));

    ASSERT_TRUE(inject(FaultKind::Drop, 1));
    std::vector<uint8_t> out;
    DriverCommand cmd{kCmdBoardCount, 0, {}};
    EXPECT_TRUE(rig.request(kRequestDriverCommand, &cmd, 48, 48, out).drop);
    EXPECT_FALSE(rig.request(kRequestDriverCommand, &cmd, 48, 48, out).drop);

    ASSERT_TRUE(inject(FaultKind::Fail, 5));
    ASSERT_TRUE(inject(FaultKind::Fail, 0));  // cancelled
    EXPECT_TRUE(rig.command(kCmdBoardCount, {}));
    const int32_t bad[2] = {3, 1};
    EXPECT_FALSE(rig.request(kCtlInjectFault, bad, 8, 0, out).ok);
}

TEST_F(Faults, RefusedBlockEndsItsGroup) {
    MotionBlock b = constant_block(1, 100, 10);
    b.group_remaining = 2;
    ASSERT_TRUE(inject(FaultKind::Refuse, 1));
    EXPECT_FALSE(rig.move(b));
    b.axis = 2;
    b.group_remaining = 1;
    EXPECT_FALSE(rig.move(b));
    EXPECT_FALSE(rig.busy(2));
}

TEST(Control, ClockBoardInputsAndStateRequests) {
    SimRig rig;
    std::vector<uint8_t> out;
    ASSERT_TRUE(rig.move(constant_block(2, 1007, 10)));
    const int64_t ns = 50000000;
    ASSERT_TRUE(rig.request(kCtlClockAdvance, &ns, 8, 0, out).ok);
    const int64_t negative = -1;
    EXPECT_FALSE(rig.request(kCtlClockAdvance, &negative, 8, 0, out).ok);

    const uint32_t inputs[3] = {2, 0x0003, 0x0001};  // board 2: input 1 high, input 2 low
    ASSERT_TRUE(rig.request(kCtlSetBoardInputs, inputs, 12, 0, out).ok);
    EXPECT_EQ(rig.word0(kCmdReadBoardReg, {2, kBoardInputs}), 0xFFFD);
    const uint32_t sfr[2] = {1, 0x80000001};
    ASSERT_TRUE(rig.request(kCtlSetBoardSfr, sfr, 8, 0, out).ok);
    EXPECT_EQ(static_cast<uint32_t>(rig.word0(kCmdReadBoardReg, {1, kBoardSfr})), 0x80000001u);

    ASSERT_TRUE(rig.request(kCtlAxisState, nullptr, 0, 1 << 16, out).ok);
    std::vector<AxisSnapshot> axes;
    ASSERT_TRUE(decode_axis_state(out, axes));
    ASSERT_EQ(axes.size(), 8u);
    EXPECT_EQ(axes[1].axis, 2);
    EXPECT_EQ(axes[1].abs_pos, 503);
    EXPECT_EQ(axes[1].remaining, 504);
    EXPECT_NEAR(axes[1].speed, 10070.0, 1e-9);
    EXPECT_NE(axes[1].status & STATUS_BUSY, 0u);
    EXPECT_EQ(axes[1].clock_ns, ns);
    EXPECT_EQ(axes[5].board, 2);
    EXPECT_EQ(axes[5].input_levels, 0x1Fu);

    ASSERT_TRUE(rig.request(kCtlBoardState, nullptr, 0, 1 << 16, out).ok);
    std::vector<BoardSnapshot> boards;
    ASSERT_TRUE(decode_board_state(out, boards));
    ASSERT_EQ(boards.size(), 2u);
    EXPECT_EQ(boards[1].inputs, 0xFFFDu);
    EXPECT_EQ(boards[0].sfr, 0x80000001u);

    // A short answer buffer cuts the state; the decoder then refuses it.
    ASSERT_TRUE(rig.request(kCtlAxisState, nullptr, 0, 100, out).ok);
    EXPECT_EQ(out.size(), 100u);
    EXPECT_FALSE(decode_axis_state(out, axes));
    EXPECT_FALSE(rig.request(kSimControlBase + 100, nullptr, 0, 0, out).ok);
}

TEST(Control, HugeClockAdvancesSaturate) {
    SimRig rig;
    ASSERT_TRUE(rig.move(constant_block(1, kEndlessDistance, 8191, 1,
                                        kConstantMode & ~MODE_POSITIONING)));
    std::vector<uint8_t> out;
    const int64_t huge = INT64_MAX;
    ASSERT_TRUE(rig.request(kCtlClockAdvance, &huge, 8, 0, out).ok);
    ASSERT_TRUE(rig.request(kCtlClockAdvance, &huge, 8, 0, out).ok);
    EXPECT_FALSE(rig.busy(1));  // ran out its 2^31 - 1 pulses
    EXPECT_EQ(rig.abs_pos(1), kEndlessDistance);
    EXPECT_EQ(rig.clock.now_ns(), SimClock::kMaxAdvance);  // the clock stands at its limit
    ASSERT_TRUE(rig.move(constant_block(1, 1007, 10)));
    EXPECT_EQ(rig.rel_pos(1), 0);
    EXPECT_TRUE(rig.busy(1));
}

TEST(Control, StateTextFormsShowEveryAxis) {
    SimRig rig;
    ASSERT_TRUE(rig.move(constant_block(1, 1007, 10)));
    rig.advance(0.05);
    const auto axes = rig.sim.axis_snapshots();
    const std::string table = axis_table(axes);
    EXPECT_NE(table.find("   1     1        503        503        503        504    10070.0  yes   1  -"),
              std::string::npos) << table;
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 9);
    const std::string json = axis_json(axes);
    EXPECT_NE(json.find("\"axis\": 1, \"board\": 1, \"abs_pos\": 503"), std::string::npos);
    EXPECT_NE(json.find("\"busy\": true"), std::string::npos);
    EXPECT_NE(json.find("\"org\": {\"active\": false, \"level\": 1}"), std::string::npos);
    EXPECT_EQ(json.front(), '[');
    EXPECT_EQ(json.substr(json.size() - 2), "]\n");
    const std::string boards = board_json(rig.sim.board_snapshots());
    EXPECT_NE(boards.find("{\"board\": 2, \"axes\": 4, \"inputs\": 65535"), std::string::npos);
}

}  // namespace
}  // namespace dravik::sim::testing
