// Fills a LibraryApi with the library's real exports. Header-only on purpose: only a program that
// links the Dravik library includes it (the front ends and the command-line tool), while the
// console logic itself stays free of the library.
#ifndef DRAVIK_TESTCONSOLE_LIBRARY_EXPORTS_H
#define DRAVIK_TESTCONSOLE_LIBRARY_EXPORTS_H

#include "library_api.h"

namespace dravik::console {

inline LibraryApi library_exports() noexcept {
    LibraryApi api;
#define DRAVIK_CONSOLE_BIND(name) api.name = &::name;
    DRAVIK_CONSOLE_CALLS(DRAVIK_CONSOLE_BIND)
#undef DRAVIK_CONSOLE_BIND
    return api;
}

} // namespace dravik::console

#endif
