// The console logic's View over the Win32 main dialog: message boxes owned by the dialog, the
// list's cells, and the two modal dialogs.
#pragma once

#include <windows.h>

#include "function_list.h"
#include "view.h"

namespace dravik::console::win32 {

class Win32View final : public View {
public:
    Win32View(HWND dialog, FunctionList& list) : dialog_(dialog), list_(list) {}

    void show_message(std::string_view text) override;
    std::string cell_text(int row, int column) const override;
    void set_cell_text(int row, int column, std::string_view text) override;
    std::optional<ParameterTexts> edit_parameters(const ParameterTexts& preset) override;
    void show_about(std::string_view board_info) override;

private:
    HWND dialog_;
    FunctionList& list_;
};

}  // namespace dravik::console::win32
