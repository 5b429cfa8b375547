// dravik-bench: the console's terminal companion. Without a display it demonstrates the library
// against the boards (or the simulator): bring up, move two axes, print positions and status.
// It can also list the catalogue and run one catalogue row with the console's own logic.
#include "console.h"
#include "library_exports.h"
#include "terminal_view.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

using namespace dravik::console;

constexpr const char* usage =
    "usage: dravik-bench [demo]              bring up the boards, move axes 1 and 2, print positions\n"
    "       dravik-bench list                print the catalogue rows\n"
    "       dravik-bench run ROW [P1..P7]    start up, then run catalogue row ROW with these parameters\n";

void print_axes(const char* label, int32_t axes) {
    std::printf("%-10s", label);
    for (int ch = 1; ch <= axes; ++ch) {
        int32_t pos = 0;
        get_abs_pos(ch, &pos);
        std::printf("  axis %d: %8d %s", ch, pos, check_done(ch) == 1 ? "moving " : "at rest");
    }
    std::printf("\n");
}

int demo() {
    const int axes = auto_set();
    std::printf("auto_set   -> %d axes\n", axes);
    const int boards = init_board();
    std::printf("init_board -> %d boards\n", boards);
    if (axes < 2 || boards <= 0) {
        std::printf("no usable boards (last error 0x%x); is the simulator running?\n",
                    static_cast<unsigned>(get_last_err()));
        return 1;
    }
    int lib[3] = {-1, -1, -1}, sys[3] = {-1, -1, -1};
    int32_t type = -1, card[3] = {-1, -1, -1};
    get_lib_ver(&lib[0], &lib[1], &lib[2]);
    get_sys_ver(&sys[0], &sys[1], &sys[2]);
    get_card_ver(1, &type, &card[0], &card[1], &card[2]);
    std::printf("versions   library %d.%d.%d, driver %d.%d.%d, board 1 type %d version %d.%d.%d\n",
                lib[0], lib[1], lib[2], sys[0], sys[1], sys[2], type, card[0], card[1], card[2]);

    const int32_t step1 = 5000, step2 = -3000;
    print_axes("before", 2);
    const int started = fast_pmove2(1, step1, 2, step2);
    std::printf("fast_pmove2(1, %d, 2, %d) -> %d\n", step1, step2, started);
    if (started != 0) {
        std::printf("the move was refused (last error 0x%x)\n", static_cast<unsigned>(get_last_err()));
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (check_done(1) == 1 || check_done(2) == 1) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::printf("the axes did not come to rest within 10 s\n");
            return 1;
        }
        print_axes("moving", 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    print_axes("after", 2);
    for (int ch = 1; ch <= 2; ++ch)
        std::printf("axis %d     status word 0x%x, speed %.1f pulses/s\n", ch,
                    static_cast<unsigned>(check_status(ch)), get_rate(ch));
    std::printf("moves accepted: %d\n", get_cmd_counter());

    int32_t p1 = 0, p2 = 0;
    get_abs_pos(1, &p1);
    get_abs_pos(2, &p2);
    const bool arrived = p1 == step1 && p2 == step2;
    std::printf("%s\n", arrived ? "both axes reached their targets" : "an axis stopped short of its target");
    return arrived ? 0 : 1;
}

void list() {
    for (const CatalogueRow& row : catalogue()) std::printf("%2d  %s\n", row.index, row.prototype);
}

int run(int argc, char** argv) {
    char* end = nullptr;
    const long row = std::strtol(argv[0], &end, 10);
    if (*end != '\0' || row < 0 || row >= catalogue_rows || argc > 8) {
        std::fputs(usage, stderr);
        return 2;
    }
    static const LibraryApi api = library_exports();
    cli::TerminalView view(stdout);
    Console console(api, view);
    console.start_up();
    for (int i = 1; i < argc; ++i) view.set_cell_text(static_cast<int>(row), i, argv[i]);
    console.click(static_cast<int>(row));
    std::printf("%s\n", catalogue()[static_cast<std::size_t>(row)].prototype);
    console.run();
    for (int c = 1; c <= parameter_count; ++c) {
        const std::string cell = view.cell_text(static_cast<int>(row), c);
        if (!cell.empty()) std::printf("  参数%d = %s\n", c, cell.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "demo") == 0) return demo();
    if (std::strcmp(argv[1], "list") == 0) {
        list();
        return 0;
    }
    if (std::strcmp(argv[1], "run") == 0 && argc >= 3) return run(argc - 2, argv + 2);
    const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
    std::fputs(usage, help ? stdout : stderr);
    return help ? 0 : 2;
}
