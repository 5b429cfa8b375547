// A Console over the recording fake library and view, sharing one event log so that the order
// of messages and library calls can be checked.
#ifndef DRAVIK_TESTS_CONSOLE_CONSOLE_FIXTURE_H
#define DRAVIK_TESTS_CONSOLE_CONSOLE_FIXTURE_H

#include "console.h"
#include "fake_library.h"
#include "recording_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dravik::console::testing {

class ConsoleFixture : public ::testing::Test {
protected:
    ConsoleFixture() { fake.name_slots(console.call_slots()); }

    // Types `cells` into `row`, clicks it, forgets the log so far and presses "运行".
    void run_row(int row, const std::vector<std::string>& cells) {
        view.fill(row, cells);
        console.click(row);
        log.clear();
        console.run();
    }

    std::vector<std::string> log;
    FakeLibrary fake{log};
    LibraryApi api = fake.api();
    RecordingView view{log};
    Console console{api, view};
};

using Log = std::vector<std::string>;

} // namespace dravik::console::testing

#endif
