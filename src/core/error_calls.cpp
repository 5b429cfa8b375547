#include "core/error_calls.h"

#include "core/validation.h"

namespace dravik {

int get_err(Library& lib, int n, int* code) {
    if (null_out(lib, code)) return -1;
    int32_t value = 0;
    if (n < 1 || n > 10 || lib.errors.read_recent(n, &value) != 0) {
        *code = -1;
        return -1;
    }
    *code = value;
    return 0;
}

int get_last_err(Library& lib) { return lib.errors.read_newest(); }

int reset_err(Library& lib) {
    lib.errors.clear();
    return 0;
}

}  // namespace dravik
