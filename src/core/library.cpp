// The library context. The error store is prepared here, when the library is created, so that a
// failure raised before the first auto_set (a driver request of a raw register call, an axis call
// made too early) is recorded and can be read back like any other.
#include "core/library.h"

#include <utility>

namespace dravik {

Library::Library(std::unique_ptr<Device> device) : driver(std::move(device), *this) {
    errors.prepare();
    block.group_remaining = 1;
}

Library::~Library() = default;

void Library::report_error(int32_t code) {
    last_error = code;
    errors.record(code);
}

void Library::ensure_axis_tables(int32_t count) {
    if (count <= 0) return;
    const auto n = static_cast<size_t>(count);
    if (axes.size() < n) axes.resize(n);
    if (moves.size() < n) moves.resize(n);
}

}  // namespace dravik
