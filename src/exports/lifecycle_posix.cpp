// Load hook of libdravik.so: the load step runs when the shared object is loaded, the unload step
// when it is unloaded (dlclose or process exit).
#include "exports/lifecycle.h"

namespace {

__attribute__((constructor)) void dravik_on_load() { dravik::load_library(); }
__attribute__((destructor)) void dravik_on_unload() { dravik::unload_library(); }

}  // namespace
