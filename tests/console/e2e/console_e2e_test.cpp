// The console logic against the real library and a simulator with two 4-axis boards. The
// simulator starts first; the library is loaded afterwards (it opens its device when it loads),
// with every one of the console's 83 calls resolved by name. Runs in a private network namespace.
// The simulator and the library are shared by the tests of this program: a library stays bound to
// the device it opened at its first load, so it is loaded once, after the simulator is up.
#include "console.h"
#include "daemon_process.h"
#include "driver/socket_protocol.h"
#include "recording_view.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace dravik::console::testing {
namespace {

class LoadedLibrary {
public:
    LoadedLibrary() = default;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    // Loads the library and resolves every call of the table; false with `error` set otherwise.
    bool open(const char* path, LibraryApi& api, std::string& error) {
        handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            error = dlerror();
            return false;
        }
#define DRAVIK_E2E_RESOLVE(name)                                                \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(handle_, #name));      \
    if (api.name == nullptr) error += " " #name;
        DRAVIK_CONSOLE_CALLS(DRAVIK_E2E_RESOLVE)
#undef DRAVIK_E2E_RESOLVE
        return error.empty();
    }

private:
    void* handle_ = nullptr;
};

struct SharedRig {
    sim::testing::DaemonProcess daemon;
    LoadedLibrary library;
    LibraryApi api;
    std::string error;
    bool ready = false;
};

class ConsoleEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        rig = new SharedRig;
        if (!rig->daemon.start(DRAVIK_SIM_BINARY, {"--boards", "4,4"}, dravik::device_socket_name(0)))
            rig->error = "the simulator did not come up";
        else if (rig->library.open(DRAVIK_LIBRARY_PATH, rig->api, rig->error))
            rig->ready = true;
    }
    static void TearDownTestSuite() {
        delete rig; // unloads the library (which stops every axis), then ends the simulator
        rig = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(rig->ready) << rig->error;
        console = std::make_unique<Console>(rig->api, view);
    }

    // Types `cells` into `row`, clicks it and presses "运行"; returns what the row logged.
    std::vector<std::string> run_row(int row, const std::vector<std::string>& cells) {
        view.fill(row, cells);
        console->click(row);
        log.clear();
        console->run();
        return log;
    }

    static inline SharedRig* rig = nullptr;
    std::vector<std::string> log;
    RecordingView view{log};
    std::unique_ptr<Console> console;
};

TEST_F(ConsoleEndToEnd, StartUpFindsTwoBoardsAndAPointMoveShowsItsPosition) {
    console->start_up();
    EXPECT_EQ(log, (std::vector<std::string>{"msg:轴数=8", "msg:卡数=2"}));

    // Row 12, fast_pmove(1, 1000): a ramped move of axis 1 on the simulated board.
    EXPECT_TRUE(run_row(12, {"1", "1000"}).empty());

    // Row 55, check_done(1), until the axis is at rest (the default profile takes well under 2 s).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::vector<std::string> done;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        done = run_row(55, {"1"});
    } while (done == std::vector<std::string>{"msg:轴1正在运动"} && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(done, (std::vector<std::string>{"msg:轴1停止运动"}));

    // Row 50, get_abs_pos(1, &P2): the position lands in cell 2.
    run_row(50, {"1"});
    EXPECT_EQ(view.cell_text(50, 2), "1000");
    run_row(50, {"2"});
    EXPECT_EQ(view.cell_text(50, 2), "0") << "axis 2 did not move";

    // The board information of the menu: versions from the library, driver and board 1.
    console->show_board_info(BoardInfoSource::Menu);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("about:计算机内插有 2 张板卡。共有 8 根轴。\n", 0), 0u) << log.back();
    EXPECT_NE(log.back().find("驱动程序版本号 ：3.0.0\n"), std::string::npos) << log.back();
}

TEST_F(ConsoleEndToEnd, StopButtonHaltsAContinuousMove) {
    console->start_up();
    run_row(17, {"3", "1"}); // con_vmove(3, +)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(run_row(55, {"3"}), (std::vector<std::string>{"msg:轴3正在运动"}));
    console->stop_all_now();
    EXPECT_EQ(run_row(55, {"3"}), (std::vector<std::string>{"msg:轴3停止运动"}));
    run_row(50, {"3"});
    const int32_t stopped_at = std::stoi(view.cell_text(50, 2));
    EXPECT_GT(stopped_at, 0);
    EXPECT_EQ(run_row(55, {"3"}), (std::vector<std::string>{"msg:轴3停止运动"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    run_row(50, {"3"});
    EXPECT_EQ(std::stoi(view.cell_text(50, 2)), stopped_at) << "the axis kept moving after 急停";
}

} // namespace
} // namespace dravik::console::testing
