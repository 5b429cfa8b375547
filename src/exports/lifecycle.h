// Load and unload steps of the shared library. The platform's load hook (a constructor/destructor
// pair on Linux, DllMain on Windows) calls them exactly once each.
#pragma once

namespace dravik {

// Opens interface 0 of the driver's class (no device is fine: every request then fails with
// error 5) and creates the one Library.
void load_library();
// Stops the library's work, closes the device and releases the Library.
void unload_library();

}  // namespace dravik
