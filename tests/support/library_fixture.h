// Test fixture: a fresh Library over a FakeDevice for every test.
//
//   class MyTest : public dravik::test::LibraryTest {};            // nothing started
//   TEST_F(MyTest, X) { start({4, 4}); ... }                        // ready, log empty
//
//   class MyReadyTest : public dravik::test::ReadyLibraryTest {};  // two 4-axis boards, ready
//
// start() runs auto_set and init_board (asserting that they succeed), then clears the recorded
// traffic and the error record, so a test sees only the requests of the calls it makes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "core/board.h"
#include "core/library.h"
#include "support/fake_device.h"

namespace dravik::test {

// A Library over a new FakeDevice; `fake` is set to the device the Library owns.
inline std::unique_ptr<Library> make_library(std::vector<int> boards, FakeDevice** fake) {
    auto device = std::make_unique<FakeDevice>(std::move(boards));
    *fake = device.get();
    return std::make_unique<Library>(std::move(device));
}

class LibraryTest : public ::testing::Test {
protected:
    // A library over `boards`, not started.
    void create(std::vector<int> boards = {4, 4}) { lib = make_library(std::move(boards), &fake); }

    // A library over `boards`, brought up by auto_set + init_board, log and errors cleared.
    void start(std::vector<int> boards = {4, 4}) {
        int total = 0;
        for (int axes : boards) total += axes;
        create(boards);
        ASSERT_EQ(auto_set(*lib), total) << fake->dump();
        ASSERT_EQ(init_board(*lib), static_cast<int>(boards.size())) << fake->dump();
        fake->clear_requests();
        lib->errors.clear();
        lib->last_error = 0;
    }

    // Library state of axis `ch` (1-based).
    AxisState& axis(int ch) { return lib->axes.at(static_cast<size_t>(ch - 1)); }

    // The two requests every validated call starts with.
    static std::vector<Cmd> validation() {
        return {{kCmdDriverVersion, {0, 0, 0, 0}}, {kCmdReadBoardReg, {1, kBoardVersion}}};
    }

    FakeDevice* fake = nullptr;
    std::unique_ptr<Library> lib;
};

class ReadyLibraryTest : public LibraryTest {
protected:
    void SetUp() override { start({4, 4}); }
};

}  // namespace dravik::test
