// Exported calls: the error record.
#include "core/error_calls.h"
#include "dravik/dravik.h"
#include "exports/export_support.h"

using dravik::exported;
using dravik::Library;

extern "C" {

DRAVIK_API int DRAVIK_CALL get_err(int n, int* code) {
    return exported([&](Library& l) { return dravik::get_err(l, n, code); });
}
DRAVIK_API int DRAVIK_CALL get_last_err(void) {
    return exported([&](Library& l) { return dravik::get_last_err(l); });
}
DRAVIK_API int DRAVIK_CALL reset_err(void) {
    return exported([&](Library& l) { return dravik::reset_err(l); });
}

}  // extern "C"
