// Versions, diagnostics and the raw register calls.
#include "core/versions.h"

#include <gtest/gtest.h>

#include <cstring>

#include "axis/registers.h"
#include "core/error_calls.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

class VersionsTest : public ReadyLibraryTest {};

TEST_F(VersionsTest, LibraryVersionAlwaysAvailable) {
    create({4});  // not started
    int v[3] = {-1, -1, -1};
    EXPECT_EQ(get_lib_ver(*lib, &v[0], &v[1], &v[2]), 0);
    EXPECT_EQ(std::vector<int>(v, v + 3), (std::vector<int>{3, 0, 1}));
    EXPECT_EQ(get_lib_ver(*lib, nullptr, &v[1], nullptr), 0);  // null targets are skipped
    EXPECT_EQ(fake->request_count(), 0u);
}

TEST_F(VersionsTest, DriverVersionFromCommandZero) {
    fake->set_driver_version(4, 5, 6);
    int v[3] = {0, 0, 0};
    EXPECT_EQ(get_sys_ver(*lib, &v[0], &v[1], &v[2]), 0);
    EXPECT_EQ(std::vector<int>(v, v + 3), (std::vector<int>{4, 5, 6}));
    fake->fail_next(1);
    int w[3] = {7, 7, 7};
    EXPECT_EQ(get_sys_ver(*lib, &w[0], &w[1], &w[2]), -1);
    EXPECT_EQ(std::vector<int>(w, w + 3), (std::vector<int>{7, 7, 7}));
    EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
    EXPECT_EQ(get_sys_ver(*lib, &w[0], nullptr, &w[2]), -1);
    EXPECT_EQ(get_last_err(*lib), kErrBadParam);
}

TEST_F(VersionsTest, CardVersionWordIsSplitIntoBytes) {
    struct Row {
        uint32_t word;
        std::vector<int32_t> expected;
    };
    const Row rows[] = {
        {0x00030102, {0, 3, 1, 2}}, {0x01030102, {1, 3, 1, 2}}, {0xFFFEFDFC, {255, 254, 253, 252}}};
    for (const Row& row : rows) {
        fake->set_card_version(2, row.word);
        int32_t v[4] = {};
        EXPECT_EQ(get_card_ver(*lib, 2, &v[0], &v[1], &v[2], &v[3]), 0);
        EXPECT_EQ(std::vector<int32_t>(v, v + 4), row.expected);
    }
    EXPECT_EQ(fake->commands().back(), (Cmd{kCmdReadBoardReg, {2, kBoardVersion}}));
}

TEST_F(VersionsTest, CardVersionRefusesBadBoardNumbersAndNullTargets) {
    for (int cardno : {0, 3, -1}) {
        int32_t v[4] = {9, 9, 9, 9};
        reset_err(*lib);
        EXPECT_EQ(get_card_ver(*lib, cardno, &v[0], &v[1], &v[2], &v[3]), -1);
        EXPECT_EQ(get_last_err(*lib), kErrBadBoard);
        EXPECT_EQ(std::vector<int32_t>(v, v + 4), (std::vector<int32_t>{9, 9, 9, 9}));
    }
    int32_t t = 0;
    EXPECT_EQ(get_card_ver(*lib, 1, &t, &t, nullptr, &t), -1);
    EXPECT_EQ(get_last_err(*lib), kErrBadParam);
    EXPECT_EQ(fake->request_count(), 0u);
}

TEST_F(VersionsTest, CheckIcReadsIdentityWord) {
    fake->set_identity(2, 0x1234);
    EXPECT_EQ(check_IC(*lib, 2), 0x1234);
    EXPECT_EQ(check_IC(*lib, 3), -1);
    EXPECT_EQ(check_IC(*lib, 0), -1);
    EXPECT_EQ(lib->errors.total(), 0);  // range failures record nothing
    fake->fail_next(1);
    EXPECT_EQ(check_IC(*lib, 1), 0);
}

TEST_F(VersionsTest, RawRegisterCallsGoToTheDriverUnchecked) {
    EXPECT_EQ(write_reg(*lib, 99, 1000, -7), 0);
    int v = 0;
    EXPECT_EQ(read_reg(*lib, 99, 1000, &v), 0);
    EXPECT_EQ(v, -7);
    EXPECT_EQ(write_card_reg(*lib, 9, 264, 0x55), 0);
    EXPECT_EQ(read_card_reg(*lib, 9, 264, &v), 0);
    EXPECT_EQ(v, 0x55);
    const std::vector<Cmd> expected{{kCmdWriteAxisReg, {99, 1000, -7}},
                                    {kCmdReadAxisReg, {99, 1000}},
                                    {kCmdWriteBoardReg, {9, 264, 0x55}},
                                    {kCmdReadBoardReg, {9, 264}}};
    EXPECT_EQ(fake->commands(), expected);
}

TEST_F(VersionsTest, RawRegisterFailuresLeaveTargetsAlone) {
    int v = 42;
    fake->fail_next(4);
    EXPECT_EQ(write_reg(*lib, 1, 0, 1), -1);
    EXPECT_EQ(read_reg(*lib, 1, 0, &v), -1);
    EXPECT_EQ(write_card_reg(*lib, 1, 0, 1), -1);
    EXPECT_EQ(read_card_reg(*lib, 1, 0, &v), -1);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(read_reg(*lib, 1, 0, nullptr), -1);
    EXPECT_EQ(read_card_reg(*lib, 1, 0, nullptr), -1);
    EXPECT_EQ(get_last_err(*lib), kErrBadParam);
}

TEST_F(VersionsTest, WriteComWritesModeRegisterNotTheImage) {
    const uint32_t image = axis(1).mode_shadow;
    EXPECT_EQ(write_com(*lib, 1, 0x202608 | 0x10), 0);
    EXPECT_EQ(fake->axis_reg(1, REG_MODE), 0x202618);
    EXPECT_EQ(axis(1).mode_shadow, image);
}

TEST_F(VersionsTest, RawCallsWorkBeforeAutoSet) {
    create({4});
    int v = 0;
    EXPECT_EQ(write_reg(*lib, 1, 8, 3), 0);
    EXPECT_EQ(read_reg(*lib, 1, 8, &v), 0);
    EXPECT_EQ(v, 3);
}

TEST_F(VersionsTest, DllInfoIsTenZeros) {
    double info[11];
    for (double& d : info) d = 7.5;
    EXPECT_EQ(get_dll_info(*lib, 123, info), 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(info[i], 0.0);
    EXPECT_EQ(info[10], 7.5);
    EXPECT_EQ(get_dll_info(*lib, 0, nullptr), 0);
}

TEST_F(VersionsTest, BoardRecordIsCopiedByteForByte) {
    int32_t record[11];
    for (int32_t& w : record) w = -1;
    EXPECT_EQ(get_board_db_info(*lib, 3, record), 0);
    const auto log = fake->requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, kRequestBoardRecord);
    EXPECT_EQ(log[0].in, (std::vector<uint8_t>{3, 0, 0, 0}));
    ASSERT_EQ(log[0].out.size(), 40u);
    EXPECT_EQ(std::memcmp(record, log[0].out.data(), 40), 0);
    EXPECT_EQ(record[10], -1);
}

TEST_F(VersionsTest, BoardRecordFailures) {
    int32_t record[10] = {};
    fake->fail_next(1);
    EXPECT_EQ(get_board_db_info(*lib, 1, record), -2);
    EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
    EXPECT_EQ(get_board_db_info(*lib, 1, nullptr), -1);
    EXPECT_EQ(get_last_err(*lib), kErrBadParam);
    Library no_device(nullptr);
    EXPECT_EQ(get_board_db_info(no_device, 1, record), -1);
    EXPECT_EQ(get_last_err(no_device), kErrNoDevice);
}

}  // namespace
}  // namespace dravik::test
