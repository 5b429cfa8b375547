// Support for the exported C entry points: every exported call takes the library's recursive lock
// for its whole duration and forwards to the one Library created at load.
#pragma once

#include <mutex>

#include "core/library.h"

namespace dravik {

// The instance created by the load step (lifecycle.cpp); valid between load and unload.
Library& the_library();

// Runs `body(library)` under the library's lock and returns its result.
template <typename Body>
auto exported(Body&& body) {
    Library& library = the_library();
    std::lock_guard<std::recursive_mutex> lock(library.mutex);
    return body(library);
}

}  // namespace dravik
