// The main dialog (template 102): runs the start-up sequence while still hidden, shows the
// function catalogue, forwards clicks, buttons and menu commands to the console logic.
#pragma once

#include "library_api.h"

namespace dravik::console::win32 {

// Runs the main dialog modally; returns when it is closed.
void run_main_dialog(const LibraryApi& api);

}  // namespace dravik::console::win32
