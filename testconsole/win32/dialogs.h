// The two modal dialogs the console opens from its main dialog: the parameter dialog (130) and
// the about box with the board information (100).
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "view.h"

namespace dravik::console::win32 {

// Fields 1011..1017 preset to `preset`; the fields as typed after "确认", nothing after "取消".
std::optional<ParameterTexts> run_parameter_dialog(HWND owner, const ParameterTexts& preset);

// The about box with `board_info` in its static control 1012; returns when it is closed.
void run_about_box(HWND owner, std::string_view board_info);

}  // namespace dravik::console::win32
