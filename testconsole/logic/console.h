// The console's working part, free of any window system: the start-up of the library, the
// selected row and its parameters, running a row, the two stop buttons and the board information.
// A front end owns one Console, forwards the user's actions to it and implements View.
//
// Everything runs on the caller's thread; a library call blocks until it returns, and every
// message box is modal (View::show_message returns once it is closed).
#ifndef DRAVIK_TESTCONSOLE_CONSOLE_H
#define DRAVIK_TESTCONSOLE_CONSOLE_H

#include "catalogue.h"
#include "library_api.h"
#include "view.h"

#include <cstdint>
#include <string>

namespace dravik::console {

// Which of the two board-information commands was used.
enum class BoardInfoSource {
    Menu,       // "板卡信息" in the "关于(&A)" menu: always asks the library for the versions
    AboutItem,  // "关于 TestDravik(&A)...": asks only when boards were found, else shows -1
};

class Console {
public:
    // `api` must be complete (LibraryApi::complete; std::invalid_argument otherwise) and, like
    // `view`, outlive the Console.
    Console(const LibraryApi& api, View& view);

    // Start-up: auto_set, then init_board, each followed by its message. Call once, before the
    // main dialog is shown. The axis and board counts it finds are kept for the program's life.
    void start_up();
    [[nodiscard]] int32_t axis_count() const noexcept { return axis_count_; }
    [[nodiscard]] int32_t board_count() const noexcept { return board_count_; }

    // A click on the list. `row` is the first selected row afterwards, -1 when none: it becomes
    // the selected row and P1..P7 are loaded from its cells (all 0 for no row).
    void click(int row);
    // A double-click: as click, then the parameter dialog for the row. On "确认" the cells take
    // the fields exactly as typed and P1..P7 their converted values; on "取消" nothing changes.
    // Without a row the dialog opens with empty fields and no cell changes.
    void double_click(int row);

    // "运行": runs the selected row (nothing when no row is selected).
    void run();
    // "缓停" and "急停": decel_stop / sudden_stop of axes 1..get_max_axe(), ascending.
    void decelerate_all();
    void stop_all_now();

    // Board information: stops and zeroes every axis found at start-up, then opens the about box
    // with the text of board_info_text.
    void show_board_info(BoardInfoSource source);

    [[nodiscard]] int selected_row() const noexcept { return selected_row_; }
    [[nodiscard]] const CallSlots& call_slots() const noexcept { return slots_; }

private:
    void load_parameters(int row);
    [[nodiscard]] std::string board_info_text(BoardInfoSource source);
    [[nodiscard]] FormatArg shown_value(const ShownValue& v, const FormatArg& result) const;
    [[nodiscard]] std::string format_message(const MessageSpec& m, const FormatArg& result) const;

    const LibraryApi& api_;
    View& view_;
    int32_t axis_count_ = 0;
    int32_t board_count_ = 0;
    int selected_row_ = 0; // "运行" before any click runs row 0
    CallSlots slots_{};    // P1..P7 and R1..R3 start at 0
};

} // namespace dravik::console

#endif
