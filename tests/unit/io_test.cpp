// Digital I/O and port calls against the recording FakeDevice.
#include <gtest/gtest.h>

#include "motion_support.h"
#include "status/io.h"

namespace dravik::test {
namespace {

class IoTest : public ReadyLibraryTest {};

TEST_F(IoTest, InputsAreReturnedInverted) {
    const struct {
        uint32_t reg;
        int byte, bit1, bit2, bit16;
    } cases[] = {
        {0xFFFFFFFE, 1, 1, 0, 0},
        {0xFFFF0000, 0xFFFF, 1, 1, 1},
        {0x0000FFFF, 0, 0, 0, 0},
        {0x00007FFF, 0x8000, 0, 0, 1},
    };
    for (const auto& c : cases) {
        fake->set_board_reg(2, kBoardInputs, static_cast<int32_t>(c.reg));
        EXPECT_EQ(checkin_byte(*lib, 2), c.byte);
        EXPECT_EQ(checkin_bit(*lib, 2, 1), c.bit1);
        EXPECT_EQ(checkin_bit(*lib, 2, 2), c.bit2);
        EXPECT_EQ(checkin_bit(*lib, 2, 16), c.bit16);
    }
}

TEST_F(IoTest, BitEditsKeepTheOtherOutputs) {
    fake->set_board_reg(1, kBoardOutputs, 0x10);
    ASSERT_EQ(outport_bit(*lib, 1, 3, 5), 0);
    EXPECT_EQ(fake->board_reg(1, kBoardOutputs), 0x14);
    ASSERT_EQ(outport_bit(*lib, 1, 5, 0), 0);
    EXPECT_EQ(fake->board_reg(1, kBoardOutputs), 0x4);
    ASSERT_EQ(outport_bit(*lib, 1, 16, 1), 0);
    EXPECT_EQ(fake->board_reg(1, kBoardOutputs), 0x8004);
    ASSERT_EQ(outport_byte(*lib, 1, 0xFFFF), 0);
    EXPECT_EQ(fake->board_reg(1, kBoardOutputs), 0xFFFF);
    EXPECT_EQ(fake->board_reg(2, kBoardOutputs), 0) << "the other board is untouched";
}

TEST_F(IoTest, BadArgumentsAreRefusedWithTheirCodes) {
    const struct {
        const char* name;
        int (*call)(Library&);
        int32_t error;
    } cases[] = {
        {"checkin_byte board 0", [](Library& l) { return checkin_byte(l, 0); }, kErrBadBoard},
        {"checkin_byte board 3", [](Library& l) { return checkin_byte(l, 3); }, kErrBadBoard},
        {"checkin_bit 17", [](Library& l) { return checkin_bit(l, 1, 17); }, kErrBadParam},
        {"checkin_bit 0", [](Library& l) { return checkin_bit(l, 1, 0); }, kErrBadParam},
        {"outport_byte 0x10000", [](Library& l) { return outport_byte(l, 1, 0x10000); }, kErrBadParam},
        {"outport_byte -1", [](Library& l) { return outport_byte(l, 1, -1); }, kErrBadParam},
        {"outport_bit 17", [](Library& l) { return outport_bit(l, 1, 17, 1); }, kErrBadParam},
        {"outport_bit board 3", [](Library& l) { return outport_bit(l, 3, 1, 1); }, kErrBadBoard},
        {"check_SFR board 0", [](Library& l) { return check_SFR(l, 0); }, kErrBadBoard},
    };
    for (const auto& c : cases) {
        fake->clear_requests();
        lib->last_error = 0;
        EXPECT_EQ(c.call(*lib), -1) << c.name;
        EXPECT_EQ(lib->last_error, c.error) << c.name;
        EXPECT_EQ(fake->count(kCmdReadBoardReg), 1u) << c.name << ": only the validation's read";
        EXPECT_EQ(fake->count(kCmdWriteBoardReg), 0u) << c.name;
    }
}

TEST_F(IoTest, FailedReadsGiveMinusOneAndWriteNothing) {
    fake->fail_at(2);  // after validation: the outputs read
    EXPECT_EQ(outport_bit(*lib, 1, 1, 1), -1);
    EXPECT_EQ(fake->count(kCmdWriteBoardReg), 0u);
    fake->clear_requests();
    fake->fail_at(2);
    EXPECT_EQ(checkin_byte(*lib, 1), -1);
    fake->clear_requests();
    fake->fail_at(4);  // checkin_bit validates twice, then reads
    EXPECT_EQ(checkin_bit(*lib, 1, 1), -1);
    fake->clear_requests();
    fake->fail_at(2);
    EXPECT_EQ(check_SFR(*lib, 1), -1);
}

TEST_F(IoTest, SfrLosesItsTopBit) {
    fake->set_board_reg(1, kBoardSfr, static_cast<int32_t>(0x80000001));
    EXPECT_EQ(check_SFR(*lib, 1), 1);
    fake->set_board_reg(1, kBoardSfr, -1);
    EXPECT_EQ(check_SFR(*lib, 1), 0x7FFFFFFF);
}

TEST(IoBeforeStart, PortsWorkBeforeStartUpAndBoardCallsDoNot) {
    FakeDevice* fake = nullptr;
    auto lib = make_library({4}, &fake);
    fake->set_port(0x300, 0x5A);
    EXPECT_EQ(Inport(*lib, 0x300), 0x5A);
    EXPECT_EQ(Outport(*lib, 0x301, static_cast<unsigned char>(0x1FF)), 0);
    EXPECT_EQ(fake->port(0x301), 0xFF);
    EXPECT_EQ(fake->commands().back(), (Cmd{kCmdWritePort, {0x301, 0xFF}}));
    EXPECT_EQ(checkin_byte(*lib, 1), -1);
    EXPECT_EQ(lib->last_error, kErrNotReady);
    fake->fail_next(2);
    EXPECT_EQ(Inport(*lib, 1), -1);
    EXPECT_EQ(Outport(*lib, 1, 1), -1);
}

}  // namespace
}  // namespace dravik::test
