// Positions, status decoding and the command counter.
#include "status/status.h"

#include <gtest/gtest.h>

#include "axis/registers.h"
#include "core/error_calls.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

class StatusTest : public ReadyLibraryTest {};

TEST_F(StatusTest, StatusBitsDecode) {
    struct Row {
        uint32_t status;
        int done, limit, home, sd, alarm;
    };
    const Row rows[] = {
        {0, 0, 0, 0, 0, 0},
        {STATUS_BUSY, 1, 0, 0, 0, 0},
        {STATUS_POS_LIMIT, 0, 1, 0, 0, 0},
        {STATUS_NEG_LIMIT, 0, -1, 0, 0, 0},
        {STATUS_POS_LIMIT | STATUS_NEG_LIMIT, 0, 2, 0, 0, 0},
        {STATUS_HOME, 0, 0, 1, 0, 0},
        {STATUS_SD, 0, 0, 0, 1, 0},
        {STATUS_ALARM, 0, 0, 0, 0, 1},
        {0xFFFFFFFFu, 1, 2, 1, 1, 1},
        {~(STATUS_BUSY | STATUS_POS_LIMIT | STATUS_NEG_LIMIT | STATUS_HOME | STATUS_SD |
           STATUS_ALARM),
         0, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.status);
        fake->set_axis_reg(6, REG_STATUS, static_cast<int32_t>(r.status));
        EXPECT_EQ(check_status(*lib, 6), static_cast<int>(r.status));
        EXPECT_EQ(check_done(*lib, 6), r.done);
        EXPECT_EQ(check_limit(*lib, 6), r.limit);
        EXPECT_EQ(check_home(*lib, 6), r.home);
        EXPECT_EQ(check_SD(*lib, 6), r.sd);
        EXPECT_EQ(check_alarm(*lib, 6), r.alarm);
    }
}

TEST_F(StatusTest, StatusReadIsValidationThenRegister60) {
    EXPECT_EQ(check_done(*lib, 7), 0);
    std::vector<Cmd> expected = validation();
    expected.push_back({kCmdReadAxisReg, {7, REG_STATUS}});
    EXPECT_EQ(fake->commands(), expected);
}

// Each query: its failure value for a bad axis and for a failed read.
struct Query {
    const char* name;
    int (*call)(Library&, int);
    int failure;
};
const Query kQueries[] = {
    {"check_status", check_status, -1}, {"check_done", check_done, -1},
    {"check_limit", check_limit, -3},   {"check_home", check_home, -3},
    {"check_SD", check_SD, -3},         {"check_alarm", check_alarm, -3},
    {"get_cur_dir", get_cur_dir, -2},   {"reset_enc_pos", reset_enc_pos, -1},
    {"reset_pos", reset_pos, -1},
};

TEST_F(StatusTest, QueriesReturnTheirOwnFailureValues) {
    for (const Query& q : kQueries) {
        SCOPED_TRACE(q.name);
        reset_err(*lib);
        EXPECT_EQ(q.call(*lib, 0), q.failure);
        EXPECT_EQ(get_last_err(*lib), kErrBadAxis);
        EXPECT_EQ(q.call(*lib, 9), q.failure);
        fake->fail_at(fake->request_count() + 2);  // the request after the validation
        EXPECT_EQ(q.call(*lib, 1), q.failure);
        EXPECT_EQ(get_last_err(*lib), kErrRequestFailed);
    }
}

TEST_F(StatusTest, PositionReads) {
    struct Read {
        const char* name;
        int (*call)(Library&, int, int32_t*);
        Cmd request;
    };
    const Read reads[] = {
        {"get_abs_pos", get_abs_pos, {kCmdReadAbsPos, {3}}},
        {"get_rel_pos", get_rel_pos, {kCmdReadRelPos, {3}}},
        {"get_encoder", get_encoder, {kCmdReadAxisReg, {3, REG_ENCODER}}},
    };
    fake->set_abs_pos(3, -123456);
    fake->set_rel_pos(3, 777);
    fake->set_axis_reg(3, REG_ENCODER, INT32_MIN);
    const int32_t values[] = {-123456, 777, INT32_MIN};
    for (size_t i = 0; i < 3; ++i) {
        const Read& r = reads[i];
        SCOPED_TRACE(r.name);
        fake->clear_requests();
        int32_t v = 5;
        EXPECT_EQ(r.call(*lib, 3, &v), 0);
        EXPECT_EQ(v, values[i]);
        EXPECT_EQ(fake->commands().back(), r.request);
        // Failures write 0.
        v = 5;
        EXPECT_EQ(r.call(*lib, 0, &v), -1);
        EXPECT_EQ(v, 0);
        v = 5;
        fake->fail_at(fake->request_count() + 2);
        EXPECT_EQ(r.call(*lib, 3, &v), -1);
        EXPECT_EQ(v, 0);
        // A null target fails before any request.
        const size_t before = fake->request_count();
        EXPECT_EQ(r.call(*lib, 3, nullptr), -1);
        EXPECT_EQ(get_last_err(*lib), kErrBadParam);
        EXPECT_EQ(fake->request_count(), before);
    }
}

TEST_F(StatusTest, CurrentDirectionPassesThrough) {
    fake->set_cur_dir(2, -1);
    EXPECT_EQ(get_cur_dir(*lib, 2), -1);
    fake->set_cur_dir(2, 12345);
    EXPECT_EQ(get_cur_dir(*lib, 2), 12345);
}

TEST_F(StatusTest, PositionChangesRefuseAMovingAxis) {
    fake->set_abs_pos(1, 50);
    fake->set_busy(1, true);
    EXPECT_EQ(set_abs_pos(*lib, 1, 1000), -1);
    EXPECT_EQ(get_last_err(*lib), kErrAxisMoving);
    EXPECT_EQ(reset_pos(*lib, 1), -1);
    EXPECT_EQ(fake->abs_pos(1), 50);
    EXPECT_EQ(fake->count(kCmdWriteAbsPos) + fake->count(kCmdClearPos), 0u);
    // The encoder is cleared all the same.
    fake->set_axis_reg(1, REG_ENCODER, 99);
    EXPECT_EQ(reset_enc_pos(*lib, 1), 0);
    EXPECT_EQ(fake->axis_reg(1, REG_ENCODER), 0);

    fake->set_busy(1, false);
    fake->clear_requests();
    EXPECT_EQ(set_abs_pos(*lib, 1, 1000), 0);
    EXPECT_EQ(fake->abs_pos(1), 1000);
    std::vector<Cmd> expected = validation();
    expected.push_back({kCmdReadAxisReg, {1, REG_STATUS}});
    expected.push_back({kCmdWriteAbsPos, {1, 1000}});
    EXPECT_EQ(fake->commands(), expected);
    EXPECT_EQ(reset_pos(*lib, 1), 0);
    EXPECT_EQ(fake->commands().back(), (Cmd{kCmdClearPos, {1}}));
    EXPECT_EQ(fake->abs_pos(1), 0);
    fake->fail_at(fake->request_count() + 3);
    EXPECT_EQ(set_abs_pos(*lib, 1, 5), -1);
}

TEST_F(StatusTest, CommandCounterNeedsNoDriver) {
    create({4});  // not started
    EXPECT_EQ(get_cmd_counter(*lib), 0);
    EXPECT_EQ(set_cmd_counter(*lib, -5), 0);
    EXPECT_EQ(get_cmd_counter(*lib), -5);
    EXPECT_EQ(reset_cmd_counter(*lib), 0);
    EXPECT_EQ(get_cmd_counter(*lib), 0);
    EXPECT_EQ(fake->request_count(), 0u);
}

TEST_F(StatusTest, CommandCounterSurvivesInitBoard) {
    create({4});
    set_cmd_counter(*lib, 17);
    ASSERT_EQ(auto_set(*lib), 4);
    ASSERT_EQ(init_board(*lib), 1);
    EXPECT_EQ(get_cmd_counter(*lib), 17);
}

}  // namespace
}  // namespace dravik::test
