// TestDravik: the bench-test console for Dravik boards (Qt front end).
#include "library_exports.h"
#include "main_dialog.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {
bool have_display() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return true;
    }
    return false;
}
} // namespace

int main(int argc, char** argv) {
    if (!have_display()) {
        std::fputs("TestDravik needs a display (DISPLAY or WAYLAND_DISPLAY is not set); "
                   "dravik-bench runs a terminal demonstration instead.\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    static const dravik::console::LibraryApi api = dravik::console::library_exports();
    dravik::console::qt::MainDialog dialog(api);
    dialog.initialise(); // start-up messages before the dialog appears
    dialog.exec();
    return 0;
}
