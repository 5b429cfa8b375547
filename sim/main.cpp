// dravik-sim: the board driver and its boards in software, served on the device socket.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "ctl.h"
#include "driver/socket_protocol.h"
#include "options.h"
#include "socket_server.h"

namespace {

dravik::sim::SocketServer* g_server = nullptr;

extern "C" void on_stop_signal(int) {
    if (g_server != nullptr) g_server->request_stop();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dravik::sim;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "ctl") {
        return run_ctl({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    DaemonOptions options;
    std::string error;
    if (!parse_daemon_options(args, options, error)) {
        std::cerr << "dravik-sim: " << error << "\n" << kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    SimClock clock(options.frozen ? SimClock::Start::Frozen : SimClock::Start::Running);
    Simulator simulator(options.config, clock);
    const std::string name = dravik::device_socket_name(options.index);
    SocketServer server(simulator, name);
    if (!server.listen(error)) {
        std::cerr << "dravik-sim: " << error << "\n";
        return 1;
    }
    g_server = &server;
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::cerr << "dravik-sim: " << options.config.board_count() << " board(s), "
              << options.config.total_axes() << " axes, serving @" << name << "\n";
    server.run();
    g_server = nullptr;
    std::cerr << "dravik-sim: stopped\n";
    return 0;
}
