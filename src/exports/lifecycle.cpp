// The one Library of the process, created by the load step and released by the unload step.
#include "exports/lifecycle.h"

#include <memory>
#include <mutex>

#include "driver/device.h"
#include "exports/export_support.h"
#include "motion/stops.h"

namespace dravik {
namespace {

Library* g_library = nullptr;
bool g_unloaded = false;  // the unload step has run: the device is never opened again

}  // namespace

void load_library() {
    if (g_library != nullptr) return;
    // The Library constructor prepares the error store and sets the MotionBlock's
    // group_remaining to 1.
    g_library = new Library(open_driver_device(kDriverInterfaceClass, 0));
}

void unload_library() {
    if (g_library == nullptr) return;

    // Stop every axis (ascending, results ignored) and end the polling thread; the lock is
    // taken for the stops and released before the thread is joined.
    stop_motion_for_unload(*g_library);

    g_library->driver.close();
    delete g_library;
    g_library = nullptr;
    g_unloaded = true;
}

Library& the_library() {
    // A call that arrives before the load step (from another library's constructor) runs the
    // load step itself. One that arrives after the unload step (from another library's
    // destructor) finds a library without a device, whose every request fails with error 5:
    // the device is closed at unload and never reopened.
    if (g_library == nullptr) {
        if (g_unloaded)
            g_library = new Library(nullptr);
        else
            load_library();
    }
    return *g_library;
}

}  // namespace dravik
