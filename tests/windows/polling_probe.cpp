// A test DLL built from the library's real load hook (lifecycle.cpp, lifecycle_win32.cpp) and
// core, plus two probes to start the polling thread without a driver: an axis is given a pending
// change of position, so the thread keeps polling (its status reads fail) until the library ends
// it. Used by dll_pinning_test.cpp.
#include <windows.h>

#include <mutex>

#include "exports/export_support.h"

extern "C" __declspec(dllexport) int probe_start_polling() {
    dravik::Library& lib = dravik::the_library();
    std::lock_guard<std::recursive_mutex> lock(lib.mutex);
    lib.ensure_axis_tables(1);
    lib.moves[0].change_pending = 1;
    return lib.monitor.start(lib) ? 1 : 0;
}

extern "C" __declspec(dllexport) int probe_polling() {
    dravik::Library& lib = dravik::the_library();
    std::lock_guard<std::recursive_mutex> lock(lib.mutex);
    return lib.monitor.running() ? 1 : 0;
}
