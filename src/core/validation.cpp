// The check every axis call starts with.
//
// When reading board 1's version word fails (the transport has reported error 5 or 6), the kept
// card values stay as they were: after a good init_board the validation then passes on the last
// known card type, and the call's own request reports the broken transport.
#include "core/validation.h"

#include "core/versions.h"

namespace dravik {

bool driver_version_ok(Library& lib) {
    int32_t* d = lib.versions.driver;
    get_sys_ver(lib, &d[0], &d[1], &d[2]);
    return d[0] == 3 && d[1] == 0 && d[2] == 0;
}

bool card_type_ok(Library& lib) {
    int32_t* c = lib.versions.card;
    get_card_ver(lib, 1, &c[0], &c[1], &c[2], &c[3]);
    return c[0] == 0;
}

int validate_axis_call(Library& lib, int ch) {
    if (lib.boards.boards_ready == 0) {
        lib.report_error(kErrNotReady);
        return -2;
    }
    if (ch < 1 || ch > lib.boards.total_axes) {
        lib.report_error(kErrBadAxis);
        return -1;
    }
    if (!driver_version_ok(lib)) {
        lib.report_error(kErrDriverVersion);
        return -5;
    }
    if (!card_type_ok(lib)) {
        lib.report_error(kErrCardType);
        return -6;
    }
    return 0;
}

int validate_axes(Library& lib, const int* axes, int count) {
    for (int i = 0; i < count; ++i) {
        if (const int rc = validate_axis_call(lib, axes[i]); rc < 0) return rc;
    }
    return 0;
}

bool null_out(Library& lib, const void* p) {
    if (p != nullptr) return false;
    lib.report_error(kErrBadParam);
    return true;
}

}  // namespace dravik
