// validate_axis_call: order of the checks, their codes and their request traffic.
#include "core/validation.h"

#include <gtest/gtest.h>

#include "core/board.h"
#include "core/error_calls.h"
#include "support/library_fixture.h"

namespace dravik::test {
namespace {

class ValidationTest : public ReadyLibraryTest {};

TEST_F(ValidationTest, GoodAxisCostsExactlyTwoRequests) {
    EXPECT_EQ(validate_axis_call(*lib, 8), 0);
    EXPECT_EQ(fake->commands(), validation()) << fake->dump();
    EXPECT_EQ(get_last_err(*lib), 0);
}

TEST_F(ValidationTest, ChecksInOrderWithTheirCodes) {
    struct Row {
        const char* name;
        void (*setup)(LibraryTest&, FakeDevice&);
        int ch;
        int result;
        int32_t error;
        size_t requests;  // requests sent by the validation
    };
    const Row rows[] = {
        {"axis 0", nullptr, 0, -1, kErrBadAxis, 0},
        {"axis 9 of 8", nullptr, 9, -1, kErrBadAxis, 0},
        {"negative axis", nullptr, -4, -1, kErrBadAxis, 0},
        {"driver 3.0.1", [](LibraryTest&, FakeDevice& f) { f.set_driver_version(3, 0, 1); }, 1, -5,
         kErrDriverVersion, 1},
        {"driver 2.0.0", [](LibraryTest&, FakeDevice& f) { f.set_driver_version(2, 0, 0); }, 1, -5,
         kErrDriverVersion, 1},
        {"card type 1", [](LibraryTest&, FakeDevice& f) { f.set_card_version(1, 0x01020200); }, 1,
         -6, kErrCardType, 2},
        {"card type of board 2 is not checked",
         [](LibraryTest&, FakeDevice& f) { f.set_card_version(2, 0xFF000000); }, 5, 0, 0, 2},
        // A failed read keeps the values kept from the good init_board: the validation passes
        // and the transport's own error is on record.
        {"driver version read fails", [](LibraryTest&, FakeDevice& f) { f.fail_at(0); }, 1, 0,
         kErrRequestFailed, 2},
        {"card version read fails", [](LibraryTest&, FakeDevice& f) { f.fail_at(1); }, 1, 0,
         kErrRequestFailed, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        start({4, 4});
        if (row.setup) row.setup(*this, *fake);
        EXPECT_EQ(validate_axis_call(*lib, row.ch), row.result);
        EXPECT_EQ(get_last_err(*lib), row.error);
        EXPECT_EQ(fake->request_count(), row.requests) << fake->dump();
    }
}

TEST_F(ValidationTest, NotReadyComesFirst) {
    create({4, 4});
    ASSERT_EQ(auto_set(*lib), 8);
    fake->clear_requests();
    EXPECT_EQ(validate_axis_call(*lib, 99), -2);
    EXPECT_EQ(get_last_err(*lib), kErrNotReady);
    EXPECT_EQ(fake->request_count(), 0u);
}

TEST_F(ValidationTest, WrongVersionRecoversWhenTheDriverIsRight) {
    fake->set_driver_version(3, 1, 0);
    EXPECT_EQ(validate_axis_call(*lib, 1), -5);
    EXPECT_EQ(lib->versions.driver[1], 1);
    fake->set_driver_version(3, 0, 0);
    EXPECT_EQ(validate_axis_call(*lib, 1), 0);
}

TEST_F(ValidationTest, SeveralAxesStopAtTheFirstFailure) {
    const int axes[] = {1, 9, 0};
    EXPECT_EQ(validate_axes(*lib, axes, 3), -1);
    EXPECT_EQ(lib->errors.total(), 1);
    EXPECT_EQ(fake->commands(), validation());  // axis 1 validated, axis 9 stopped it
    const int good[] = {2, 3};
    EXPECT_EQ(validate_axes(*lib, good, 2), 0);
}

TEST_F(ValidationTest, NullOutReportsBadParameter) {
    int x = 0;
    EXPECT_FALSE(null_out(*lib, &x));
    EXPECT_EQ(get_last_err(*lib), 0);
    EXPECT_TRUE(null_out(*lib, nullptr));
    EXPECT_EQ(get_last_err(*lib), kErrBadParam);
}

}  // namespace
}  // namespace dravik::test
