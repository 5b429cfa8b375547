// Stops against the recording FakeDevice.
#include <gtest/gtest.h>

#include "motion/stops.h"
#include "motion_support.h"

namespace dravik::test {
namespace {

class StopsTest : public ReadyLibraryTest {
protected:
    int stop(StopKind kind, std::vector<int> axes) { return stop_axes(*lib, kind, axes); }
};

TEST_F(StopsTest, RunFieldIsSetAndEveryOtherBitWrittenBackAsRead) {
    const uint32_t running = 0x00ABCD10 | MODE_RUN_GO;
    for (StopKind kind : {StopKind::sudden, StopKind::decel}) {
        fake->set_axis_reg(2, REG_MODE, static_cast<int32_t>(running));
        fake->set_busy(2, true);
        fake->clear_requests();
        ASSERT_EQ(stop(kind, {2}), 0);
        const uint32_t expected = kind == StopKind::sudden ? (running & ~MODE_RUN) | MODE_RUN_STOP
                                                           : running | MODE_RUN_DECEL_STOP;
        EXPECT_EQ(trace(*fake), concat({validations(1), {rd(2, REG_STATUS), rd(2, REG_MODE),
                                                         wr(2, REG_MODE, int32_t(expected))}}));
        EXPECT_EQ(axis(2).mode_shadow, expected);
    }
}

TEST_F(StopsTest, AxisAtRestIsNotWritten) {
    ASSERT_EQ(stop(StopKind::sudden, {1}), 0);
    EXPECT_EQ(trace(*fake), concat({validations(1), {rd(1, REG_STATUS)}}));
}

TEST_F(StopsTest, InvalidAxisStopsNothing) {
    fake->set_busy(1, true);
    EXPECT_EQ(stop(StopKind::decel, {1, 9}), -1);
    EXPECT_EQ(fake->count(kCmdReadAxisReg), 0u);
    EXPECT_EQ(fake->count(kCmdWriteAxisReg), 0u);
}

TEST_F(StopsTest, FailuresEndProcessingWithTheirResult) {
    for (int ch = 1; ch <= 3; ++ch) fake->set_busy(ch, true);
    // Requests: 3 validations (0..5), then per axis status, mode, write.
    const struct {
        const char* name;
        size_t failing;
        int result;
        size_t writes_done;  // mode writes that went through
    } cases[] = {
        {"mode write of the second axis", 11, 2, 1},
        {"status read of the second axis", 9, -1, 1},
        {"mode read of the second axis: nothing written for it", 10, -1, 1},
        {"mode write of the first axis", 8, 1, 0},
    };
    for (const auto& c : cases) {
        fake->clear_requests();
        fake->fail_at(c.failing);
        EXPECT_EQ(stop(StopKind::sudden, {1, 2, 3}), c.result) << c.name;
        size_t writes = 0;
        for (const Request& r : fake->requests())
            if (r.ok && step_text(r).rfind("cmd(9:", 0) == 0) ++writes;
        EXPECT_EQ(writes, c.writes_done) << c.name << "\n" << fake->dump();
        EXPECT_TRUE(fake->writes_to(3, REG_MODE).empty()) << c.name << ": third axis untouched";
    }
}

TEST_F(StopsTest, AxisNamedTwiceIsHandledTwice) {
    fake->set_busy(1, true);
    EXPECT_EQ(stop(StopKind::sudden, {1, 1}), 0);
    EXPECT_EQ(fake->writes_to(1, REG_MODE).size(), 2u);
}

TEST_F(StopsTest, UnloadStopsEveryAxisInOrderBeforeAnythingElse) {
    for (int ch = 1; ch <= 8; ++ch) fake->set_busy(ch, true);
    stop_motion_for_unload(*lib);
    std::vector<std::string> expected;
    for (int ch = 1; ch <= 8; ++ch) {
        add_validation(expected);
        expected.push_back(rd(ch, REG_STATUS));
        expected.push_back(rd(ch, REG_MODE));
        expected.push_back(wr(ch, REG_MODE, int32_t((MODE_DEFAULT & ~MODE_RUN) | MODE_RUN_STOP)));
    }
    EXPECT_EQ(trace(*fake), expected);
}

TEST(StopsBeforeStart, UnloadWithoutBoardsStopsNothing) {
    FakeDevice* fake = nullptr;
    auto lib = make_library({4}, &fake);
    stop_motion_for_unload(*lib);
    EXPECT_EQ(fake->request_count(), 0u);
}

}  // namespace
}  // namespace dravik::test
