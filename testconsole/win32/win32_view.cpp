#include "win32_view.h"

#include "dialogs.h"
#include "wide_text.h"

namespace dravik::console::win32 {

void Win32View::show_message(std::string_view text) {
    // OK button only, no icon, the program's title as caption; modal to the main dialog.
    MessageBoxW(dialog_, widen(text).c_str(), program_title().c_str(), MB_OK);
}

std::string Win32View::cell_text(int row, int column) const { return list_.cell(row, column); }

void Win32View::set_cell_text(int row, int column, std::string_view text) {
    list_.set_cell(row, column, text);
}

std::optional<ParameterTexts> Win32View::edit_parameters(const ParameterTexts& preset) {
    return run_parameter_dialog(dialog_, preset);
}

void Win32View::show_about(std::string_view board_info) { run_about_box(dialog_, board_info); }

}  // namespace dravik::console::win32
